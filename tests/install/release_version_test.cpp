// The rules of the trusted update channel that hold without a network: version order, the release
// record's form, the never-backwards decision, the key list and the server's address.
#include <gtest/gtest.h>

#include <string>

#include "install/install_limits.h"
#include "install/installed_version.h"
#include "install/release_record.h"
#include "install/version_order.h"
#include "net/signature_check.h"
#include "net/update_urls.h"

namespace install {
namespace {

TEST(VersionOrder, ComparesNumberByNumberNotAsText) {
  EXPECT_GT(CompareVersions("1.0.10", "1.0.9"), 0);
  EXPECT_LT(CompareVersions("1.0.9", "1.0.10"), 0);
  EXPECT_LT(CompareVersions("1.9", "1.10.0"), 0);
  EXPECT_EQ(CompareVersions("1.0", "1.0.0"), 0);
  EXPECT_EQ(CompareVersions("01.002", "1.2"), 0);
  // Far beyond 64 bits: still ordered by value.
  EXPECT_GT(CompareVersions("1.100000000000000000000000", "1.99999999999999999999999"), 0);
  for (const char* good : {"1", "1.0.9", "0.0", "2026.12.31"}) EXPECT_TRUE(IsDottedVersion(good));
  for (const char* bad : {"", ".1", "1.", "1..2", "1.0a", "v1", "1.0 ", "-1", "1,0"}) {
    EXPECT_FALSE(IsDottedVersion(bad)) << bad;
  }
}

TEST(NeverBackwards, RefusesOnlyAVerifiedOlderVersionOverARecordedOne) {
  EXPECT_TRUE(IsOlderThanInstalled("1.0.9", std::string("1.0.10")));
  EXPECT_FALSE(IsOlderThanInstalled("1.0.9", std::string("1.0.9")));  // reinstalling is fine
  EXPECT_FALSE(IsOlderThanInstalled("1.0.9", std::nullopt));          // installed by other means
  EXPECT_FALSE(IsOlderThanInstalled("", std::string("2.0")));         // nothing verified to judge
}

const std::string kHash(64, 'a');

std::string Record(const std::string& size = "5242880", const std::string& extra = "") {
  return "version=1.0.9\nsize=" + size + "\nsha256=" + kHash + "\n" + extra +
         "published=2026-12-09T20:13:32Z\n";
}

TEST(ReleaseRecord, ReadsWhatPublishWritesAndNothingLoose) {
  const auto record = ParseReleaseRecord(Record());
  ASSERT_TRUE(record);
  EXPECT_EQ(record->version, "1.0.9");
  EXPECT_EQ(record->size, 5242880u);
  EXPECT_EQ(record->sha256[31], 0xAA);
  EXPECT_TRUE(ParseReleaseRecord(Record("1", "channel=stable\r\n")));  // later keys, CR LF
  const std::string bad[] = {
      "",
      Record().substr(0, Record().size() - 1),  // the last line unended
      Record("0"),                              // no archive
      Record("99999999999999999999"),           // past 64 bits
      Record(std::to_string(MaxArchiveBytes() + 1)),
      Record("5", "version=9.9.9\n"),  // a second version: which one was signed for?
      Record("5", "nonsense\n"),
      "version=1.0.x\nsize=5\nsha256=" + kHash + "\npublished=x\n",
      "version=1.0.9\nsize=5\nsha256=" + kHash.substr(1) + "g\npublished=x\n",
      "version=1.0.9\nsize=5\nsha256=" + kHash + "\npublished=\n",
  };
  for (const std::string& text : bad) EXPECT_FALSE(ParseReleaseRecord(text)) << text;
}

TEST(UpdateChannel, KeyListsAndServerAddresses) {
  const std::string a(128, 'a'), b(128, 'B');
  const auto keys = net::ParsePublicKeys(a + "; " + b);
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 2u);
  EXPECT_EQ((*keys)[1][0], 0xBB);
  for (const std::string& bad :
       {std::string(), a + ";", ";" + a, a + ";;" + b, a + ";" + a + "0"}) {
    EXPECT_FALSE(net::ParsePublicKeys(bad)) << bad;
  }
  EXPECT_EQ(net::UpdateBaseUrl("127.0.0.1:8080"), "http://127.0.0.1:8080");
  EXPECT_EQ(net::UpdateBaseUrl("HTTPS://updates.example.com/"), "https://updates.example.com");
  EXPECT_EQ(net::UpdateBaseUrl("https://localhost:8443"), "https://localhost:8443");
}

}  // namespace
}  // namespace install
