#include "install/archive_entry_name.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace {

using install::IsFolderEntryName;
using install::IsSafeEntryName;
using install::ToRelativePath;

TEST(ArchiveEntryNameTest, OrdinaryPluginNamesAreSafe) {
  for (const wchar_t* name :
       {L"Brindo.rb", L"Brindo/", L"Brindo/lib/core.rbe", L"Brindo\\icons\\a.png",
        L"Brindo/.hidden", L"Brindo/..data", L"a..b/c", L"中文/说明.txt", L"console.rb",
        L"com10.txt", L"lpt.rb", L"nulls/x", L"CON1.rb", L" leading space.rb"}) {
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  }
}

TEST(ArchiveEntryNameTest, AbsoluteDriveAndStreamNamesAreRefused) {
  for (const wchar_t* name :
       {L"", L"/etc/x", L"\\windows\\x.dll", L"//server/share/x", L"\\\\?\\C:\\x", L"C:x.rb",
        L"C:\\x.rb", L"c:/x.rb", L"Brindo.rb:Zone.Identifier", L"Brindo/a.rb::$DATA"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
}

TEST(ArchiveEntryNameTest, ParentAndDotComponentsAreRefusedWithEitherSeparator) {
  for (const wchar_t* name :
       {L"..", L"../x.rb", L"..\\x.rb", L"Brindo/../../x.rb", L"Brindo\\..\\..\\x.rb", L"Brindo/..",
        L"./x.rb", L"Brindo/./x.rb", L"Brindo/.../x", L"Brindo/.. /x", L"Brindo/x.rb.",
        L"Brindo/x.rb ", L"dir /x"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
}

TEST(ArchiveEntryNameTest, ReservedDeviceNamesAreRefusedInAnyComponentAndCase) {
  for (const wchar_t* name :
       {L"CON", L"con.rb", L"Brindo/nul", L"Brindo/Nul.txt", L"aux/x.rb", L"PRN.tar.gz", L"COM1",
        L"com9.log", L"LPT1.rb", L"lpt5", L"COM0", L"com\u00B9.rb", L"LPT\u00B3", L"CON .rb",
        L"conin$", L"CONOUT$.txt"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
}

TEST(ArchiveEntryNameTest, CharactersWindowsForbidsAreRefused) {
  for (const wchar_t* name : {L"a?.rb", L"a*.rb", L"a<b", L"a>b", L"a|b", L"a\"b", L"a\tb",
                              L"a\x01"
                              L"b"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
}

TEST(ArchiveEntryNameTest, GbkTrailByteIsNoSeparator) {
  // In GBK the second byte of this character is 0x5C, the byte of "\". Read byte-wise the
  // name below would hold a ".." component; read in its code page it is one harmless name.
  const std::string bytes = "\x81\x5C..\x81\x5C.rb";
  const std::wstring name = base::ToWide(bytes, base::kChineseCodePage);
  ASSERT_EQ(name, L"\u4E57..\u4E57.rb");
  EXPECT_TRUE(IsSafeEntryName(name));
  EXPECT_EQ(ToRelativePath(name), name);
}

TEST(ArchiveEntryNameTest, RelativePathUsesBackslashesAndDropsEmptyComponents) {
  EXPECT_EQ(ToRelativePath(L"Brindo/lib//core.rb"), L"Brindo\\lib\\core.rb");
  EXPECT_EQ(ToRelativePath(L"Brindo/icons/"), L"Brindo\\icons");
  EXPECT_EQ(ToRelativePath(L"Brindo\\a.rb"), L"Brindo\\a.rb");
}

TEST(ArchiveEntryNameTest, FolderEntriesEndWithASeparator) {
  EXPECT_TRUE(IsFolderEntryName(L"Brindo/"));
  EXPECT_TRUE(IsFolderEntryName(L"Brindo\\"));
  EXPECT_FALSE(IsFolderEntryName(L"Brindo"));
  EXPECT_FALSE(IsFolderEntryName(L""));
}

}  // namespace
