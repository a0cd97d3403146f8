#include "install/archive_entry_name.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "base/text.h"

namespace {

using install::DecodeEntryName;
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

TEST(ArchiveEntryNameTest, NamesAreUtf8WhereTheArchiveSaysSoAndGbkElsewhere) {
  const std::string utf8 = base::WideToUtf8(L"图标/按钮.png");
  const std::string gbk = base::ToNarrow(L"图标/按钮.png", base::kChineseCodePage);
  EXPECT_EQ(DecodeEntryName(utf8, 0x0800, ""), L"图标/按钮.png");
  EXPECT_EQ(DecodeEntryName(gbk, 0, ""), L"图标/按钮.png");
  EXPECT_FALSE(DecodeEntryName(gbk, 0x0800, "")) << "not UTF-8";
  EXPECT_FALSE(DecodeEntryName("\x81.rb", 0, "")) << "a lone GBK lead byte";

  // Info-ZIP's Unicode path field, behind another field; only for the name it was written for.
  auto field = [&](char version, const std::string& forName) {
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(forName.data()), forName.size());
    std::string data = version + std::string(reinterpret_cast<const char*>(&crc), 4) + utf8;
    return std::string("UT\x01\x00x", 5) + "\x75\x70" + char(data.size()) + '\0' + data;
  };
  const std::string local = "?/?.png";
  EXPECT_EQ(DecodeEntryName(local, 0, field(1, local)), L"图标/按钮.png");
  EXPECT_EQ(DecodeEntryName(local, 0, field(1, "x")), L"?/?.png");
  EXPECT_EQ(DecodeEntryName(local, 0, field(2, local)), L"?/?.png");
  EXPECT_EQ(DecodeEntryName(local, 0, field(1, local).substr(0, 20)), L"?/?.png");

  // Cut after 512 bytes; a character the cut splits is left out, not refused. A GBK trail byte
  // may look like a lead byte: "\xCD\xCD" is one character.
  const std::string a511(511, 'a');
  EXPECT_EQ(DecodeEntryName(a511 + "\xE5\x9B\xBE", 0x0800, ""), std::wstring(511, L'a'));
  EXPECT_EQ(DecodeEntryName(a511 + "\xCD\xBC", 0, ""), std::wstring(511, L'a'));
  EXPECT_EQ(DecodeEntryName(std::string(514, '\xCD'), 0, "").value_or(L"").size(), 256u);
}

}  // namespace
