#include "install/temp_archive.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/unique_handle.h"
#include "support/paths.h"

namespace {

// Another process, sharing everything, cannot open the archive; it goes with its handle. A
// file already in the way is used only when it is this account's and free, and emptied then.
// (Wine gives every file this account as its owner: another account's file cannot be made.)
TEST(TempArchiveTest, IsOpenToItsHandleAloneAndNeverSomeoneElsesFile) {
  const std::wstring folder = testsupport::MakeScratchFolder(L"temp_archive");
  const std::wstring path = folder + L"\\brindo.tmp";
  auto expectArchiveAt = [&](bool atPath) {
    std::wstring used;
    base::UniqueFile archive = install::CreateTempArchive(path, used);
    ASSERT_TRUE(archive);
    EXPECT_EQ(used == path, atPath);
    LARGE_INTEGER size{};
    EXPECT_TRUE(::GetFileSizeEx(archive.get(), &size) && size.QuadPart == 0);
    EXPECT_FALSE(base::UniqueFile(::CreateFileW(
        used.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, 0, nullptr)));
    EXPECT_FALSE(::DeleteFileW(used.c_str()) || ::MoveFileW(used.c_str(), (used + L"2").c_str()));
    archive.reset();
    EXPECT_EQ(::GetFileAttributesW(used.c_str()), INVALID_FILE_ATTRIBUTES);
  };
  expectArchiveAt(true);
  ASSERT_TRUE(testsupport::WriteFileBytes(path, "an earlier archive of ours"));
  expectArchiveAt(true);

  ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
  expectArchiveAt(false);
  ASSERT_TRUE(::RemoveDirectoryW(path.c_str()));
}

}  // namespace
