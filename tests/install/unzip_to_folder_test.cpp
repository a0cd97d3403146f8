#include "install/unzip_to_folder.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "install/unzip_staging.h"
#include "support/archive_builder.h"
#include "support/paths.h"

namespace {

using install::UnzipToFolder;
using testsupport::kZipDeflated;
using testsupport::kZipStored;
using testsupport::ReadBinaryFile;
using testsupport::WriteFileBytes;
using testsupport::ZipBuilder;

// Everything below a folder: relative path -> content, with folders and the read-only flag
// marked, so that "unchanged" means byte for byte, leftovers included.
using Tree = std::map<std::wstring, std::string>;

void ReadTree(const std::wstring& root, const std::wstring& relative, Tree& tree) {
  WIN32_FIND_DATAW data;
  base::UniqueFind find(::FindFirstFileW((root + relative + L"\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring item = relative + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[item] = "<folder>";
      ReadTree(root, item, tree);
    } else {
      tree[item] = ReadBinaryFile(root + item) +
                   ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? "<read-only>" : "");
    }
  } while (::FindNextFileW(find.get(), &data));
}

Tree ReadTree(const std::wstring& root) {
  Tree tree;
  ReadTree(root, L"", tree);
  return tree;
}

class UnzipToFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::wstring name = L"unzip_" + base::Utf8ToWide(test->name());
    // The shell's delete behind MakeScratchFolder stops at paths beyond MAX_PATH, which some
    // tests here make.
    base::DeleteTree(base::ExtendedLengthPath(testsupport::BinaryDir() + L"\\scratch\\" + name));
    scratch_ = testsupport::MakeScratchFolder(name);
    destination_ = scratch_ + L"\\Plugins";
    archive_ = scratch_ + L"\\brindo.tmp";
    ASSERT_TRUE(::CreateDirectoryW(destination_.c_str(), nullptr));
  }
  void TearDown() override {
    // Lets the scratch area be cleaned next time even after a read-only test.
    ::SetFileAttributesW((destination_ + L"\\Brindo.rb").c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  bool Unzip(const std::string& archiveBytes) {
    EXPECT_TRUE(WriteFileBytes(archive_, archiveBytes));
    return UnzipToFolder(archive_, destination_);
  }

  void Put(const std::wstring& relative, const std::string& content) {
    const std::wstring path = destination_ + L"\\" + relative;
    const size_t slash = relative.rfind(L'\\');
    if (slash != std::wstring::npos) {
      ::CreateDirectoryW((destination_ + L"\\" + relative.substr(0, slash)).c_str(), nullptr);
    }
    ASSERT_TRUE(WriteFileBytes(path, content));
  }

  // An installed earlier version: what a failed extraction must leave alone.
  void PutEarlierVersion() {
    Put(L"Brindo.rb", "old loader, longer than the new one");
    Put(L"Brindo\\old.rb", "only in the old version");
    Put(L"other_plugin.rb", "someone else's");
  }

  // The failure must leave the destination byte for byte as it was, staging included.
  void ExpectRefusedAndUnchanged(const std::string& archiveBytes, const std::string& why) {
    const Tree before = ReadTree(destination_);
    EXPECT_FALSE(Unzip(archiveBytes)) << why;
    EXPECT_EQ(ReadTree(destination_), before) << why;
  }

  std::wstring scratch_;
  std::wstring destination_;
  std::wstring archive_;
};

TEST_F(UnzipToFolderTest, WritesPluginWithFolderEntriesStoredAndDeflated) {
  const std::string icon = testsupport::IncompressibleBytes(20000, 7);
  const std::string core(100000, 'r');  // spans many chunks, compresses well
  const auto zip = ZipBuilder()
                       .Add("Brindo.rb", "require 'Brindo/core'\n")
                       .AddFolder("Brindo/")
                       .AddFolder("Brindo/lib/")
                       .Add("Brindo/lib/core.rb", core)
                       .Add("Brindo/icon.png", icon, kZipStored)
                       .Add("Brindo/empty.txt", "")
                       .Build();
  ASSERT_TRUE(Unzip(zip.bytes));
  EXPECT_EQ(ReadTree(destination_), (Tree{{L"\\Brindo.rb", "require 'Brindo/core'\n"},
                                          {L"\\Brindo", "<folder>"},
                                          {L"\\Brindo\\lib", "<folder>"},
                                          {L"\\Brindo\\lib\\core.rb", core},
                                          {L"\\Brindo\\icon.png", icon},
                                          {L"\\Brindo\\empty.txt", ""}}));
}

TEST_F(UnzipToFolderTest, CreatesParentFoldersWhenTheArchiveListsNone) {
  const auto zip = ZipBuilder()
                       .Add("Brindo/lib/deep/core.rb", "deep")
                       .Add("Brindo\\win\\style.rb", "backslashes")
                       .Add("Brindo.rb", "loader")
                       .Build();
  ASSERT_TRUE(Unzip(zip.bytes));
  EXPECT_EQ(ReadTree(destination_), (Tree{{L"\\Brindo.rb", "loader"},
                                          {L"\\Brindo", "<folder>"},
                                          {L"\\Brindo\\lib", "<folder>"},
                                          {L"\\Brindo\\lib\\deep", "<folder>"},
                                          {L"\\Brindo\\lib\\deep\\core.rb", "deep"},
                                          {L"\\Brindo\\win", "<folder>"},
                                          {L"\\Brindo\\win\\style.rb", "backslashes"}}));
}

TEST_F(UnzipToFolderTest, EmptyArchiveSucceedsAndChangesNothing) {
  PutEarlierVersion();
  const Tree before = ReadTree(destination_);
  EXPECT_TRUE(Unzip(ZipBuilder().Build().bytes));
  EXPECT_EQ(ReadTree(destination_), before);
}

TEST_F(UnzipToFolderTest, ReplacesSameNamedFilesAndKeepsTheOthers) {
  PutEarlierVersion();
  Put(L"Brindo\\lib\\core.rb", "old core, much longer than the new core");
  const auto zip = ZipBuilder()
                       .Add("Brindo.rb", "new")
                       .Add("Brindo/lib/core.rb", "new core")
                       .Add("Brindo/new.rb", "added")
                       .Build();
  ASSERT_TRUE(Unzip(zip.bytes));
  EXPECT_EQ(ReadTree(destination_), (Tree{{L"\\Brindo.rb", "new"},
                                          {L"\\Brindo", "<folder>"},
                                          {L"\\Brindo\\old.rb", "only in the old version"},
                                          {L"\\Brindo\\lib", "<folder>"},
                                          {L"\\Brindo\\lib\\core.rb", "new core"},
                                          {L"\\Brindo\\new.rb", "added"},
                                          {L"\\other_plugin.rb", "someone else's"}}));
}

TEST_F(UnzipToFolderTest, FolderEntryDataIsNotRead) {
  auto zip = ZipBuilder().AddFolder("Brindo/", "data a folder should not have").Build();
  zip.bytes[zip.dataOffsets[0]] ^= 0x55;  // would fail the checksum if it were read
  ASSERT_TRUE(Unzip(zip.bytes));
  EXPECT_EQ(ReadTree(destination_), (Tree{{L"\\Brindo", "<folder>"}}));
}

TEST_F(UnzipToFolderTest, CutsNamesAfter512Bytes) {
  const std::string first(200, 'a'), second(200, 'b');
  const std::string name = first + "/" + second + "/" + std::string(150, 'c') + ".rb";
  ASSERT_GT(name.size(), 512u);
  ASSERT_TRUE(Unzip(ZipBuilder().Add(name, "deep and long").Build().bytes));
  const std::wstring cut = base::AnsiToWide(name.substr(0, 512));
  const std::wstring expected = L"\\" + base::AnsiToWide(first) + L"\\" + base::AnsiToWide(second) +
                                L"\\" + cut.substr(cut.rfind(L'/') + 1);
  EXPECT_EQ(ReadTree(destination_).count(expected), 1u);
  EXPECT_EQ(ReadTree(destination_).size(), 3u);
}

TEST_F(UnzipToFolderTest, NamesWithoutTheUtf8FlagAreGbkInAnyCodePage) {
  // 乗's second GBK byte is 0x5C, the byte of "\": it must not split the name.
  const std::string gbk = base::ToNarrow(L"插件/说明.txt", base::kChineseCodePage);
  const std::string trail = base::ToNarrow(L"乗.rb", base::kChineseCodePage);
  ASSERT_EQ(trail[1], '\\');
  ASSERT_TRUE(Unzip(ZipBuilder().Add(gbk, "gbk").Add(trail, "trail").Build().bytes));
  EXPECT_EQ(ReadTree(destination_),
            (Tree{{L"\\插件", "<folder>"}, {L"\\插件\\说明.txt", "gbk"}, {L"\\乗.rb", "trail"}}));
}

TEST_F(UnzipToFolderTest, UnreadableArchivesChangeNothing) {
  PutEarlierVersion();
  const auto good = ZipBuilder()
                        .Add("Brindo.rb", "new loader")
                        .Add("Brindo/a.rb", std::string(30000, 'a'))
                        .Add("Brindo/b.bin", testsupport::IncompressibleBytes(30000, 3), kZipStored)
                        .Build();
  ExpectRefusedAndUnchanged("<html><body>502 Bad Gateway</body></html>", "HTML page");
  ExpectRefusedAndUnchanged(good.bytes.substr(0, good.bytes.size() / 2), "truncated download");
  ExpectRefusedAndUnchanged("", "empty file");

  auto stored = good;
  stored.bytes[stored.dataOffsets[2] + 100] ^= 0x01;
  ExpectRefusedAndUnchanged(stored.bytes, "flipped byte in stored data (checksum)");
  auto deflated = good;
  deflated.bytes[deflated.dataOffsets[1] + 3] ^= 0x20;
  ExpectRefusedAndUnchanged(deflated.bytes, "flipped byte in deflated data");

  const auto method = ZipBuilder()
                          .Add("Brindo.rb", "new loader")
                          .Add("Brindo/x.rb", "bzip2 pretender", 12)
                          .Add("Brindo/y.rb", "after")
                          .Build();
  ExpectRefusedAndUnchanged(method.bytes, "unsupported method");
  install::EntryRefusal refusal;
  std::wstring kept;
  {
    const base::UniqueFile file(::CreateFileW(archive_.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(install::ExtractArchive(file.get(), destination_, kept, nullptr, &refusal),
              install::UnzipResult::kFailed);
  }
  EXPECT_EQ(refusal.reason, install::EntryRefusal::Reason::kUnsupportedMethod);
  EXPECT_EQ(refusal.entry + L" " + std::to_wstring(refusal.method), L"Brindo/x.rb 12");

  const std::wstring missing = scratch_ + L"\\missing.tmp";
  const Tree before = ReadTree(destination_);
  EXPECT_FALSE(UnzipToFolder(missing, destination_));
  EXPECT_EQ(ReadTree(destination_), before);
}

TEST_F(UnzipToFolderTest, HostileNamesChangeNothingInsideOrOutside) {
  PutEarlierVersion();
  const Tree outsideBefore = ReadTree(scratch_);
  for (const char* name :
       {"../evil.rb", "..\\evil.rb", "Brindo/../../evil.rb", "Brindo\\..\\..\\evil.rb", "/evil.rb",
        "\\evil.rb", "C:evil.rb", "Z:/evil.rb", "Brindo.rb:hidden", "CON", "nul.rb",
        "Brindo/aux.txt", "COM1.rb", "lpt9", "Brindo/evil.rb.", "Brindo/.. /evil.rb"}) {
    const auto zip = ZipBuilder().Add("Brindo.rb", "new").Add(name, "evil").Build();
    ExpectRefusedAndUnchanged(zip.bytes, name);
  }
  Tree outsideAfter = ReadTree(scratch_);
  outsideAfter.erase(L"\\brindo.tmp");
  Tree expected = outsideBefore;
  expected.erase(L"\\brindo.tmp");
  EXPECT_EQ(outsideAfter, expected);
}

TEST_F(UnzipToFolderTest, FilesThatCannotBeWrittenChangeNothing) {
  PutEarlierVersion();
  // A file entry where the destination holds a folder, and the reverse.
  ExpectRefusedAndUnchanged(ZipBuilder().Add("a.rb", "a").Add("Brindo", "file").Build().bytes,
                            "file over folder");
  ExpectRefusedAndUnchanged(ZipBuilder().Add("Brindo.rb/inner.rb", "x").Build().bytes,
                            "folder over file");
  // Two entries of the archive itself that cannot both exist.
  ExpectRefusedAndUnchanged(ZipBuilder().Add("x", "file").Add("x/y", "inside").Build().bytes,
                            "entry inside a file entry");
  // A plug-in file made read-only is not overwritten.
  ::SetFileAttributesW((destination_ + L"\\Brindo.rb").c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectRefusedAndUnchanged(
      ZipBuilder().Add("Brindo/new.rb", "new").Add("Brindo.rb", "new loader").Build().bytes,
      "read-only target");
}

TEST_F(UnzipToFolderTest, MissingDestinationIsNotCreated) {
  const std::wstring missing = scratch_ + L"\\NotThere";
  ASSERT_TRUE(WriteFileBytes(archive_, ZipBuilder().Add("Brindo.rb", "x").Build().bytes));
  EXPECT_FALSE(UnzipToFolder(archive_, missing));
  EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UnzipToFolderTest, FileInUseUndoesEveryMoveMadeBeforeIt) {
  PutEarlierVersion();
  ZipBuilder builder;
  for (int i = 0; i < 20; ++i) builder.Add("Brindo/new" + std::to_string(i) + ".rb", "n");
  builder.Add("Brindo/old.rb", "replacement").Add("fresh.rb", "f");
  const auto zip = builder.Build();
  // Held open by a reader that allows no rename, as a running program may hold its own file.
  base::UniqueFile held(::CreateFileW((destination_ + L"\\Brindo\\old.rb").c_str(), GENERIC_READ,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  ExpectRefusedAndUnchanged(zip.bytes, "file in use");
}

}  // namespace

// Folders cost an archive no bytes: folder entries on paths of their own would make millions of
// them. Such an archive is refused from its entry table, before a folder is made.
TEST_F(UnzipToFolderTest, FolderBombsAreRefusedBeforeAnyFolderIsMade) {
  PutEarlierVersion();
  const Tree before = ReadTree(destination_);
  const auto bomb = [](int levels) {
    std::string below;
    for (int i = 1; i < levels; ++i) below += "d/";
    ZipBuilder zip;
    for (int i = 0; i < 64000; ++i) zip.AddFolder(std::to_string(i) + "/" + below);
    return zip.Build().bytes;
  };
  PROCESS_MEMORY_COUNTERS built{}, refused{};
  for (const int levels : {85, 30}) {  // 5.4 and 1.9 million folders
    ASSERT_TRUE(WriteFileBytes(archive_, bomb(levels)));
    ASSERT_TRUE(::K32GetProcessMemoryInfo(::GetCurrentProcess(), &built, sizeof(built)));
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(UnzipToFolder(archive_, destination_)) << levels;
    ASSERT_TRUE(::K32GetProcessMemoryInfo(::GetCurrentProcess(), &refused, sizeof(refused)));
    std::printf("%d deep: refused in %llu ms; peak working set %zu MB (%zu MB before)\n", levels,
                ::GetTickCount64() - start, refused.PeakWorkingSetSize >> 20,
                built.PeakWorkingSetSize >> 20);
    EXPECT_LT(refused.PeakWorkingSetSize, size_t{100} << 20);
  }

  EXPECT_EQ(ReadTree(destination_), before);

  // The depth bound counts every name of a path: 32 pass, 33 do not.
  std::string deep;
  std::wstring made;
  for (int i = 0; i < 31; ++i) deep += "d/", made += L"\\d";
  ExpectRefusedAndUnchanged(ZipBuilder().Add(deep + "d/f.rb", "too deep").Build().bytes, "33 deep");
  ASSERT_TRUE(Unzip(ZipBuilder().AddFolder(deep + "d/").Add(deep + "f.rb", "deep").Build().bytes));
  EXPECT_EQ(ReadTree(destination_).count(made + L"\\d"), 1u);
  EXPECT_EQ(ReadTree(destination_).count(made + L"\\f.rb"), 1u);
}
