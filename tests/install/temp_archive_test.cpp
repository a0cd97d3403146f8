#include "install/temp_archive.h"

#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include "base/unique_handle.h"
#include "support/archive_builder.h"
#include "support/paths.h"

namespace {

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Another process, sharing everything, cannot open the archive; it goes with its handle. A
// file already in the way is used only when it is this account's and free, and emptied then.
TEST(TempArchiveTest, IsOpenToItsHandleAloneAndNeverSomeoneElsesFile) {
  const std::wstring folder = testsupport::MakeScratchFolder(L"temp_archive");
  std::wstring path = folder + L"\\brindo.tmp";
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
    EXPECT_FALSE(Exists(used));
  };
  expectArchiveAt(true);
  ASSERT_TRUE(testsupport::WriteFileBytes(path, "an earlier archive of ours"));
  expectArchiveAt(true);

  ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
  expectArchiveAt(false);
  ASSERT_TRUE(::RemoveDirectoryW(path.c_str()));

  ASSERT_TRUE(testsupport::WriteFileBytes(path, "another account's"));
  PSID users = nullptr, owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSidToSidW(L"S-1-5-32-545", &users));
  const bool given =
      ::SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, users,
                              nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
      ::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS &&
      ::EqualSid(owner, users);
  ::LocalFree(descriptor);
  ::LocalFree(users);
  if (!given) GTEST_SKIP() << "this file system keeps no other owner for a file";
  expectArchiveAt(false);
  EXPECT_EQ(testsupport::ReadBinaryFile(path), "another account's");
}

}  // namespace
