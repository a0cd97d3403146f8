#include "net/split_url.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* url;
  const char* host;
  const char* path;
  uint32_t port;
  bool secure;
};

class SplitUrlTest : public testing::TestWithParam<Case> {};

TEST_P(SplitUrlTest, Splits) {
  const Case& c = GetParam();
  const net::UrlParts parts = net::SplitUrl(c.url);
  EXPECT_EQ(parts.host, c.host);
  EXPECT_EQ(parts.path, c.path);
  EXPECT_EQ(parts.port, c.port);
  EXPECT_EQ(parts.secure, c.secure);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, SplitUrlTest,
    testing::Values(
        Case{"http://example.com:8080/a/b?x=1&y=2", "example.com", "a/b?x=1&y=2", 8080, false},
        Case{"HTTP://Example.COM/Path", "Example.COM", "Path", 80, false},
        Case{"HtTpS://secure.example/file.rbz", "secure.example", "file.rbz", 443, true},
        Case{"https://secure.example:8443/", "secure.example", "", 8443, true},
        Case{"example.com/index", "example.com", "index", 80, false},
        Case{"example.com:81", "example.com", "", 81, false},
        Case{"http://example.com", "example.com", "", 80, false},
        Case{"  http://example.com /a b/c?q=1 2  ", "example.com", "a b/c?q=1 2", 80, false},
        // The port is whatever the digits after the first colon say, scheme or not.
        Case{"http://host:80x/p", "host", "p", 80, false},
        Case{"http://host:/p", "host", "p", 0, false},
        Case{"http://host:99999999999/p", "host", "p", UINT32_MAX, false},
        // Only the first slash separates; the rest, doubled slashes too, is the path.
        Case{"http://host//twice", "host", "/twice", 80, false},
        // No scheme recognised: everything up to the first slash is the host.
        Case{"ftp://host/x", "ftp", "/host/x", 0, false}, Case{"", "", "", 80, false}));

TEST(SplitUrlKnownHostTest, UrlWithoutSchemeIsAPathOnTheKnownHost) {
  net::UrlParts parts = net::SplitUrl(" /index/tools/getVersion ", "known.host");
  EXPECT_EQ(parts.host, "known.host");
  EXPECT_EQ(parts.path, "index/tools/getVersion");
  EXPECT_EQ(parts.port, 80u);

  parts = net::SplitUrl("https://other.host/x", "known.host");
  EXPECT_EQ(parts.host, "other.host");
  EXPECT_EQ(parts.path, "x");
  EXPECT_TRUE(parts.secure);
}

}  // namespace
