// The download control against the local update server, through real WinInet.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "download_recorder.h"
#include "net/wininet_control.h"
#include "support/update_server_client.h"

namespace {

using nettest::DownloadRecorder;
using nettest::Event;
using testsupport::RouteOptions;
using testsupport::UpdateServer;

std::string RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

enum class Mode { kBlocking, kAsync };

class DownloadTest : public testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(UpdateServer::Reset()) << "the update server is not running";
    control_.SetHttpVersion("HTTP/1.1");
    control_.SetBufferSize(4096);
    recorder_->Attach(control_);
  }
  void TearDown() override {
    UpdateServer::Reset();  // releases a stalled response
    // A worker that has not finished still holds the recorder as its user value: let it live.
    if (!recorder_->WaitComplete(0)) recorder_.release();
  }

  // Fetches and waits until DOWNLOADCOMPLETE; returns the milliseconds that took.
  DWORD Fetch(const std::string& target, uint32_t rangeStart = 0, uint32_t rangeLength = 0) {
    const DWORD start = ::GetTickCount();
    const std::string url = UpdateServer::Url(target);
    if (GetParam() == Mode::kAsync) {
      control_.HttpGetAsync(url, recorder_->Value(), rangeStart, rangeLength);
      EXPECT_TRUE(recorder_->WaitComplete(60000)) << "no DOWNLOADCOMPLETE";
    } else {
      returned_ = control_.HttpGet(url, recorder_->Value(), rangeStart, rangeLength);
      EXPECT_TRUE(recorder_->WaitComplete(0)) << "no DOWNLOADCOMPLETE";
    }
    return ::GetTickCount() - start;
  }

  // The events every transfer must satisfy, whatever its outcome.
  void ExpectWellFormed() {
    const std::vector<Event> events = recorder_->Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const Event& e) { return e.kind == Event::kComplete; }),
              1);
    EXPECT_EQ(events.back().kind, Event::kComplete);
    const DWORD caller = ::GetCurrentThreadId();
    for (const Event& e : events) {
      EXPECT_EQ(e.user, recorder_->Value());
      EXPECT_EQ(e.internet, events.front().internet);
      EXPECT_EQ(e.threadId, events.front().threadId);
      if (GetParam() == Mode::kAsync) {
        EXPECT_NE(e.threadId, caller);
      } else {
        EXPECT_EQ(e.threadId, caller);
      }
    }
    if (GetParam() == Mode::kBlocking) {
      EXPECT_EQ(returned_, recorder_->Completion().data);
    }
    // Taken chunk by chunk, the data is not kept to hand over at the end.
    if (!recorder_->OfKind(Event::kChunk).empty()) {
      EXPECT_EQ(recorder_->Completion().data, "");
    }
  }

  net::WinInetControl control_;
  std::unique_ptr<DownloadRecorder> recorder_ = std::make_unique<DownloadRecorder>();
  std::string returned_;
};

TEST_P(DownloadTest, NormalBodyRaisesEveryEventInOrder) {
  ASSERT_TRUE(UpdateServer::SetRoute("/file", "hello world"));
  Fetch("/file");
  ExpectWellFormed();

  const std::vector<Event::Kind> kinds = recorder_->Kinds();
  ASSERT_GE(kinds.size(), 4u);
  EXPECT_EQ(kinds[0], Event::kHeaders);
  EXPECT_EQ(kinds[1], Event::kBegin);
  for (size_t i = 2; i + 1 < kinds.size(); ++i) EXPECT_EQ(kinds[i], Event::kChunk);

  const std::string headers = recorder_->Events()[0].data;
  EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << headers;
  EXPECT_NE(headers.find("Content-Length: 11\r\n"), std::string::npos) << headers;
  EXPECT_EQ(headers.substr(headers.size() - 4), "\r\n\r\n");
  EXPECT_EQ(recorder_->Events()[1].total, 11u);
  EXPECT_NE(recorder_->Events()[0].internet, nullptr);

  EXPECT_EQ(recorder_->ChunksJoined(), "hello world");
  EXPECT_EQ(recorder_->OfKind(Event::kChunk).back().received, 11u);
  EXPECT_EQ(recorder_->Completion().error, 0u);
}

TEST_P(DownloadTest, TenThousandBytesArriveWholeAndInOrder) {
  const std::string body = RandomBytes(10000, 7);
  ASSERT_TRUE(UpdateServer::SetRoute("/big", body, {.chunkSize = 1000}));
  Fetch("/big");
  ExpectWellFormed();

  EXPECT_EQ(recorder_->ChunksJoined(), body);
  DWORD received = 0;
  for (const Event& chunk : recorder_->OfKind(Event::kChunk)) {
    EXPECT_LE(chunk.data.size(), 4096u);
    received += static_cast<DWORD>(chunk.data.size());
    EXPECT_EQ(chunk.received, received);
    EXPECT_EQ(chunk.total, 10000u);
  }
  EXPECT_EQ(recorder_->Completion().error, 0u);
}

TEST_P(DownloadTest, WithoutContentLengthTheTotalIsZeroThroughout) {
  const std::string body = RandomBytes(6000, 8);
  ASSERT_TRUE(UpdateServer::SetRoute("/nolength", body, {.omitContentLength = true}));
  Fetch("/nolength");
  ExpectWellFormed();

  ASSERT_EQ(recorder_->OfKind(Event::kBegin).size(), 1u);
  EXPECT_EQ(recorder_->OfKind(Event::kBegin)[0].total, 0u);
  ASSERT_FALSE(recorder_->OfKind(Event::kChunk).empty());
  for (const Event& chunk : recorder_->OfKind(Event::kChunk)) EXPECT_EQ(chunk.total, 0u);
  EXPECT_EQ(recorder_->ChunksJoined(), body);
  EXPECT_EQ(recorder_->Completion().error, 0u);
}

TEST_P(DownloadTest, StopOnFirstChunkEndsTheTransfer) {
  ASSERT_TRUE(UpdateServer::SetRoute("/known", RandomBytes(50000, 9)));
  recorder_->StopOnChunk(1);
  Fetch("/known");
  ExpectWellFormed();
  EXPECT_EQ(recorder_->OfKind(Event::kChunk).size(), 1u);
  EXPECT_EQ(recorder_->Completion().error, 0u);
}

TEST_P(DownloadTest, StopOnFirstChunkOfUnknownLengthEndsTheTransfer) {
  ASSERT_TRUE(
      UpdateServer::SetRoute("/unknown", RandomBytes(50000, 10), {.omitContentLength = true}));
  recorder_->StopOnChunk(1);
  Fetch("/unknown");
  ExpectWellFormed();
  EXPECT_EQ(recorder_->OfKind(Event::kChunk).size(), 1u);
  EXPECT_EQ(recorder_->Completion().error, 0u);
}

TEST_P(DownloadTest, ErrorPageIsDeliveredLikeAnyBody) {
  Fetch("/no/such/file");
  ExpectWellFormed();
  EXPECT_EQ(recorder_->Kinds().front(), Event::kHeaders);
  EXPECT_EQ(recorder_->Events()[0].data.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u);
  EXPECT_NE(recorder_->ChunksJoined().find("<h1>Not Found</h1>"), std::string::npos);
  EXPECT_EQ(recorder_->Completion().error, 0u);
}

TEST_P(DownloadTest, TruncatedBodyIsPaddedAndReportedAsFailed) {
  const std::string body = RandomBytes(3000, 11);
  ASSERT_TRUE(UpdateServer::SetRoute("/cut", body, {.closeAfter = 1000}));
  control_.SetEventHandler("FileDownload", {});  // the body is handed over at the end
  Fetch("/cut");
  ExpectWellFormed();
  EXPECT_EQ(recorder_->OfKind(Event::kBegin).at(0).total, 3000u);
  const Event done = recorder_->Completion();
  EXPECT_EQ(done.data, body.substr(0, 1000) + std::string(2000, '\0'));
  EXPECT_NE(done.error, 0u);
}

TEST_P(DownloadTest, RefusedConnectionStillEndsTheDownload) {
  ASSERT_TRUE(UpdateServer::RefuseConnections(true));
  Fetch("/index/tools/getVersion");
  ExpectWellFormed();
  EXPECT_EQ(recorder_->Events().size(), 1u) << "no HEADERS or DOWNLOADBEGIN without a response";
  EXPECT_EQ(recorder_->Completion().data, "");
  EXPECT_EQ(recorder_->Completion().error, static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
  EXPECT_EQ(returned_, "");
}

// The platform names a time-out in its own words (WinInet's or the socket's error code); what
// matters is that the transfer ends, soon after the time-out, as a failure.
TEST_P(DownloadTest, StalledBodyEndsAfterTheTimeout) {
  const std::string body = RandomBytes(2000, 12);
  ASSERT_TRUE(UpdateServer::SetRoute("/stall", body, {.stallAfter = 500}));
  control_.SetTimeoutMs(1000);
  const DWORD elapsed = Fetch("/stall");
  ExpectWellFormed();
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 10000u);
  const Event done = recorder_->Completion();
  EXPECT_NE(done.error, 0u);
  const std::string stored = recorder_->ChunksJoined();
  EXPECT_EQ(stored, body.substr(0, stored.size()));
}

TEST_P(DownloadTest, ServerThatNeverAnswersEndsAfterTheTimeout) {
  ASSERT_TRUE(UpdateServer::SetRoute("/silent", "late", {.delayMs = 20000}));
  control_.SetTimeoutMs(1000);
  const DWORD elapsed = Fetch("/silent");
  ExpectWellFormed();
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 10000u);
  EXPECT_EQ(recorder_->Events().size(), 1u);
  EXPECT_NE(recorder_->Completion().error, 0u);
  EXPECT_EQ(recorder_->Completion().data, "");
}

// The speed floor (1 KB/s over 30 s by default) scaled to 2 KB/s over 1 s.
TEST_P(DownloadTest, ATrickleIsGivenUpButAnHonestSlowLinkIsNot) {
  control_.SetLowSpeedLimit(2048, 1000);
  const std::string body = RandomBytes(40 * 1024, 13);
  ASSERT_TRUE(UpdateServer::SetRoute("/trickle", body, {.chunkDelayMs = 200, .chunkSize = 8}));
  DWORD elapsed = Fetch("/trickle");
  ExpectWellFormed();
  EXPECT_LT(elapsed, 5000u);
  EXPECT_EQ(recorder_->Completion().error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));

  recorder_ = std::make_unique<DownloadRecorder>();
  recorder_->Attach(control_);
  // 20 KB/s, ten times the floor, with a pause of 600 ms in every second.
  ASSERT_TRUE(UpdateServer::SetRoute("/slow", body, {.chunkDelayMs = 400, .chunkSize = 8192}));
  elapsed = Fetch("/slow");
  EXPECT_GE(elapsed, 1600u);
  EXPECT_EQ(recorder_->Completion().error, 0u);
  EXPECT_EQ(recorder_->ChunksJoined(), body);
}

INSTANTIATE_TEST_SUITE_P(Modes, DownloadTest, testing::Values(Mode::kBlocking, Mode::kAsync),
                         [](const auto& info) {
                           return info.param == Mode::kAsync ? "Async" : "Blocking";
                         });

}  // namespace
