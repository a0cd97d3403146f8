// What the download control and the text request put on the wire, as the server records it.
#include <gtest/gtest.h>

#include "download_recorder.h"
#include "net/http_get_text.h"
#include "net/wininet_control.h"
#include "support/update_server_client.h"

namespace {

using nettest::DownloadRecorder;
using nettest::Event;
using testsupport::RecordedRequest;
using testsupport::UpdateServer;

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

class RequestWireTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(UpdateServer::Reset()) << "the update server is not running";
  }
  void TearDown() override { UpdateServer::Reset(); }

  // The single request the server saw.
  RecordedRequest OnlyRequest() {
    const std::vector<RecordedRequest> seen = UpdateServer::Requests();
    EXPECT_EQ(seen.size(), 1u);
    return seen.empty() ? RecordedRequest{} : seen.front();
  }
  // A blocking GET through the control; returns the request the server saw.
  RecordedRequest ControlGet(const std::string& url, uint32_t rangeStart = 0,
                             uint32_t rangeLength = 0, const std::string& referrer = {}) {
    UpdateServer::ClearRequests();
    control_.HttpGet(url, 0, rangeStart, rangeLength, referrer);
    return OnlyRequest();
  }

  net::WinInetControl control_;
};

void ExpectCommonHeaders(const RecordedRequest& request) {
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.version, "HTTP/1.1");
  EXPECT_EQ(request.Header("User-Agent"), kAgent);
  EXPECT_EQ(request.Header("Accept"), "*/*");
  EXPECT_EQ(request.Header("Host"), UpdateServer::Host());
}

TEST_F(RequestWireTest, DownloadRequest) {
  RecordedRequest request = ControlGet(UpdateServer::Url("/index/tools/getVersion?a=1&b=2"));
  ExpectCommonHeaders(request);
  EXPECT_EQ(request.target, "/index/tools/getVersion?a=1&b=2");
  EXPECT_FALSE(request.HasHeader("Range"));
  EXPECT_FALSE(request.HasHeader("Referer"));

  request = ControlGet("http://" + UpdateServer::Host());
  EXPECT_EQ(request.target, "/");
  request = ControlGet(" HTTP://" + UpdateServer::Host() + "/update/a.rbz ", 0, 0,
                       "http://referrer.example/page");
  EXPECT_EQ(request.target, "/update/a.rbz");
  EXPECT_EQ(request.Header("Referer"), "http://referrer.example/page");
}

TEST_F(RequestWireTest, RangeHeaderFollowsStartAndLength) {
  const std::string url = UpdateServer::Url("/index/tools/getVersion");
  EXPECT_FALSE(ControlGet(url, 0, 0).HasHeader("Range"));
  EXPECT_FALSE(ControlGet(url, 0, 7).HasHeader("Range"));
  EXPECT_EQ(ControlGet(url, 1, 0).Header("Range"), "bytes=0-");
  EXPECT_EQ(ControlGet(url, 11, 5).Header("Range"), "bytes=10-14");
}

TEST_F(RequestWireTest, HttpVersionPropertyIsSent) {
  control_.SetHttpVersion("HTTP/1.0");
  EXPECT_EQ(ControlGet(UpdateServer::Url("/index/tools/getVersion")).version, "HTTP/1.0");
}

TEST_F(RequestWireTest, PostSendsItsBodyAsAForm) {
  UpdateServer::ClearRequests();
  const std::string reply = control_.HttpPost(UpdateServer::Url("/index/tools/getVersion"),
                                              "name=value&x=%E7%BF%8E", 0, 1, 0);
  EXPECT_EQ(reply, "1.0.9");
  const RecordedRequest request = OnlyRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(request.Header("Range"), "bytes=0-");
  EXPECT_EQ(request.body, "name=value&x=%E7%BF%8E");
}

TEST_F(RequestWireTest, TextRequest) {
  UpdateServer::ClearRequests();
  net::HttpGetText(UpdateServer::Url("/index/tools/getVersion?x=1"), 4096);
  RecordedRequest request = OnlyRequest();
  ExpectCommonHeaders(request);
  EXPECT_EQ(request.target, "/index/tools/getVersion?x=1");
  EXPECT_FALSE(request.HasHeader("Referer"));

  UpdateServer::ClearRequests();
  net::HttpGetText("http://" + UpdateServer::Host(), 4096, "http://referrer.example/");
  request = OnlyRequest();
  EXPECT_EQ(request.target, "/");
  EXPECT_EQ(request.Header("Referer"), "http://referrer.example/");
}

TEST_F(RequestWireTest, BufferSizeBoundsEachChunk) {
  std::string body(10000, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  ASSERT_TRUE(UpdateServer::SetRoute("/body", body));
  DownloadRecorder recorder;
  recorder.Attach(control_);
  control_.SetBufferSize(1000);
  // Taken chunk by chunk: nothing is kept to return.
  EXPECT_EQ(control_.HttpGet(UpdateServer::Url("/body"), recorder.Value(), 0, 0), "");
  const std::vector<Event> chunks = recorder.OfKind(Event::kChunk);
  EXPECT_GE(chunks.size(), 10u);
  for (const Event& chunk : chunks) EXPECT_LE(chunk.data.size(), 1000u);
  EXPECT_EQ(recorder.ChunksJoined(), body);
}

TEST_F(RequestWireTest, LongResponseHeadersStillReachTheHeadersHandler) {
  std::vector<std::string> lines;
  for (char c : {'a', 'b', 'c', 'd'})
    lines.push_back("X-Padding-" + std::string(1, c) + ": " + std::string(1500, c));
  ASSERT_TRUE(UpdateServer::SetRoute("/long", "ok", {.extraHeaders = lines}));
  DownloadRecorder recorder;
  recorder.Attach(control_);
  control_.HttpGet(UpdateServer::Url("/long"), recorder.Value(), 0, 0);
  const std::vector<Event> headers = recorder.OfKind(Event::kHeaders);
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_GT(headers[0].data.size(), 6000u);
  EXPECT_EQ(headers[0].data.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  for (const std::string& line : lines) {
    EXPECT_NE(headers[0].data.find(line + "\r\n"), std::string::npos) << line.substr(0, 12);
  }
  EXPECT_EQ(recorder.ChunksJoined(), "ok");
}

}  // namespace
