// The blocking text request against the local update server.
#include "net/http_get_text.h"

#include <gtest/gtest.h>

#include "net/update_urls.h"
#include "net/wininet_control.h"
#include "support/update_server_client.h"

namespace {

using testsupport::RouteOptions;
using testsupport::UpdateServer;

constexpr size_t kAnyText = 1 << 20;

class HttpGetTextTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(UpdateServer::Reset()) << "the update server is not running";
  }
  void TearDown() override { UpdateServer::Reset(); }
};

TEST_F(HttpGetTextTest, ReturnsTheVersionText) {
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/index/tools/getVersion"), kAnyText), "1.0.9");
}

// The program's own addresses (built for the local server) and the server's defaults agree.
TEST_F(HttpGetTextTest, UpdateServerAddressesReachTheirRoutes) {
  EXPECT_EQ(net::HttpGetText(net::VersionUrl(), kAnyText), "1.0.9");
  ASSERT_TRUE(UpdateServer::SetRoute("/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz", "PK\x03\x04zip"));
  EXPECT_EQ(net::WinInetControl().HttpGet(net::PluginArchiveUrl(), 0, 0, 0), "PK\x03\x04zip");
}

TEST_F(HttpGetTextTest, ReturnsAnErrorPageLikeAnyBody) {
  const std::string text = net::HttpGetText(UpdateServer::Url("/missing"), kAnyText);
  EXPECT_NE(text.find("<h1>Not Found</h1>"), std::string::npos) << text;
}

TEST_F(HttpGetTextTest, EmptyBodyAndUnreachableServerBothGiveEmptyText) {
  ASSERT_TRUE(UpdateServer::SetRoute("/index/tools/getVersion", ""));
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/index/tools/getVersion"), kAnyText), "");
  ASSERT_TRUE(UpdateServer::RefuseConnections(true));
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/index/tools/getVersion"), kAnyText), "");
}

TEST_F(HttpGetTextTest, ReturnsEveryByteInOrder) {
  // Ten thousand bytes of every value (GBK text, zeros, CR/LF) over several reads.
  std::string body(10000, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 31 + i / 256) & 0xFF);
  ASSERT_TRUE(UpdateServer::SetRoute("/big", body, {.chunkSize = 1500}));
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/big"), body.size()), body);    // up to the bound
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/big"), body.size() - 1), "");  // one byte over
  // Also when the length is only known from the connection closing.
  ASSERT_TRUE(UpdateServer::SetRoute("/big", body, {.omitContentLength = true}));
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/big"), body.size()), body);
  EXPECT_EQ(net::HttpGetText(UpdateServer::Url("/big"), body.size() - 1), "");
}

TEST_F(HttpGetTextTest, TruncatedBodyReturnsWhatCame) {
  ASSERT_TRUE(UpdateServer::SetRoute("/cut", std::string(5000, 'x'), {.closeAfter = 1200}));
  const std::string text = net::HttpGetText(UpdateServer::Url("/cut"), kAnyText);
  EXPECT_EQ(text, std::string(text.size(), 'x'));
  EXPECT_LE(text.size(), 1200u);
}

TEST_F(HttpGetTextTest, BadPortGivesEmptyText) {
  EXPECT_EQ(net::HttpGetText("http://127.0.0.1:" + std::to_string(UpdateServer::Port() + 65536) +
                                 "/index/tools/getVersion",
                             kAnyText),
            "");
}

}  // namespace
