// What the asynchronous calls promise beyond the events: they own copies of everything they were
// given, and independent transfers run side by side.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "download_recorder.h"
#include "net/wininet_control.h"
#include "support/update_server_client.h"

namespace {

using nettest::DownloadRecorder;
using nettest::Event;
using testsupport::UpdateServer;

class AsyncDownloadTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(UpdateServer::Reset()) << "the update server is not running";
  }
  void TearDown() override { UpdateServer::Reset(); }
};

std::atomic<int> lateCompletions{0};
void LateComplete(HINTERNET, uint64_t, const char*, DWORD, DWORD) {
  ++lateCompletions;
}

TEST_F(AsyncDownloadTest, ArgumentsHandlersAndPropertiesAreCopiedAtTheStart) {
  ASSERT_TRUE(UpdateServer::SetRoute("/slow?q=1", "payload", {.delayMs = 300}));
  auto recorder = std::make_unique<DownloadRecorder>();
  {
    net::WinInetControl control;
    recorder->Attach(control);
    auto url = std::make_unique<std::string>(UpdateServer::Url("/slow?q=1"));
    auto referrer = std::make_unique<std::string>("http://referrer.example/");
    control.HttpGetAsync(*url, recorder->Value(), 0, 0, *referrer);
    // The caller's texts go away and the control changes while the worker waits.
    url->assign(url->size(), 'x');
    url.reset();
    referrer.reset();
    control.SetEventHandler("DownloadComplete", &LateComplete);
    control.SetHttpVersion("HTTP/1.0");
  }  // and the control itself is gone

  ASSERT_TRUE(recorder->WaitComplete(10000));
  EXPECT_EQ(recorder->ChunksJoined(), "payload");
  EXPECT_EQ(lateCompletions, 0);
  const auto seen = UpdateServer::Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].target, "/slow?q=1");
  EXPECT_EQ(seen[0].version, "HTTP/1.1");
  EXPECT_EQ(seen[0].Header("Referer"), "http://referrer.example/");
}

TEST_F(AsyncDownloadTest, TransfersRunSideBySide) {
  // Each body is sent slowly; run one after another they would take four times as long.
  constexpr int kCount = 4;
  net::WinInetControl control;
  std::vector<std::unique_ptr<DownloadRecorder>> recorders;
  for (int i = 0; i < kCount; ++i) {
    const std::string target = "/part" + std::to_string(i);
    ASSERT_TRUE(UpdateServer::SetRoute(target, std::string(4000, static_cast<char>('a' + i)),
                                       {.chunkDelayMs = 200, .chunkSize = 1000}));
  }
  const DWORD start = ::GetTickCount();
  for (int i = 0; i < kCount; ++i) {
    recorders.push_back(std::make_unique<DownloadRecorder>());
    recorders.back()->Attach(control);
    control.HttpGetAsync(UpdateServer::Url("/part" + std::to_string(i)), recorders.back()->Value(),
                         0, 0);
  }
  for (int i = 0; i < kCount; ++i) {
    ASSERT_TRUE(recorders[i]->WaitComplete(20000)) << i;
    EXPECT_EQ(recorders[i]->ChunksJoined(), std::string(4000, static_cast<char>('a' + i)));
    EXPECT_EQ(recorders[i]->Completion().error, 0u);
  }
  EXPECT_LT(::GetTickCount() - start, 2400u);  // one body alone takes 600 ms
}

struct StatusLog {
  std::atomic<int> calls{0};
  std::atomic<DWORD_PTR> lastContext{0};
};
StatusLog statusLog;
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD, LPVOID, DWORD) {
  ++statusLog.calls;
  statusLog.lastContext = context;
}

TEST_F(AsyncDownloadTest, PostAsyncHandsItsUserValueToTheStatusCallback) {
  net::WinInetControl control;
  DownloadRecorder recorder;
  recorder.Attach(control);
  control.SetEventHandler("InternetStatus", &OnStatus);
  control.HttpPostAsync(UpdateServer::Url("/index/tools/getVersion"), "k=v", recorder.Value(), 0,
                        0);
  ASSERT_TRUE(recorder.WaitComplete(10000));
  EXPECT_EQ(recorder.ChunksJoined(), "1.0.9");
  EXPECT_GT(statusLog.calls, 0);
  EXPECT_EQ(statusLog.lastContext, static_cast<DWORD_PTR>(recorder.Value()));
}

}  // namespace
