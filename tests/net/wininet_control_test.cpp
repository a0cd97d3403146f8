// The control's configuration: event names, handler types, properties, the Range line.
#include "net/wininet_control.h"

#include <gtest/gtest.h>

#include "net/transfer.h"

namespace {

void BeginA(HINTERNET, uint64_t, DWORD) {}
void BeginB(HINTERNET, uint64_t, DWORD) {}
int Chunk(HINTERNET, uint64_t, const char*, DWORD, DWORD, DWORD) {
  return 0;
}
void Complete(HINTERNET, uint64_t, const char*, DWORD, DWORD) {}
void Headers(HINTERNET, uint64_t, const char*, DWORD) {}
void CALLBACK Status(HINTERNET, DWORD_PTR, DWORD, LPVOID, DWORD) {}

template <typename Handler>
Handler Held(const net::EventHandler& handler) {
  const Handler* typed = std::get_if<Handler>(&handler);
  return typed ? *typed : nullptr;
}

TEST(WinInetControlTest, EventNamesIgnoreAsciiCaseAndTheOldHandlerComesBack) {
  net::WinInetControl control;
  EXPECT_TRUE(
      std::holds_alternative<std::monostate>(control.SetEventHandler("downloadbegin", &BeginA)));
  EXPECT_EQ(Held<net::DownloadBeginHandler>(control.SetEventHandler("DOWNLOADBEGIN", &BeginB)),
            &BeginA);
  EXPECT_EQ(Held<net::DownloadBeginHandler>(control.SetEventHandler("DownloadBegin", {})), &BeginB);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(control.SetEventHandler("DownloadBegin", {})));

  // Every slot keeps its own handler.
  control.SetEventHandler("FileDownload", &Chunk);
  control.SetEventHandler("DownloadComplete", &Complete);
  control.SetEventHandler("Headers", &Headers);
  control.SetEventHandler("InternetStatus", &Status);
  EXPECT_EQ(Held<net::FileDownloadHandler>(control.SetEventHandler("filedownload", {})), &Chunk);
  EXPECT_EQ(Held<net::DownloadCompleteHandler>(control.SetEventHandler("downloadcomplete", {})),
            &Complete);
  EXPECT_EQ(Held<net::HeadersHandler>(control.SetEventHandler("headers", {})), &Headers);
  EXPECT_EQ(Held<net::InternetStatusHandler>(control.SetEventHandler("internetstatus", {})),
            &Status);
}

TEST(WinInetControlTest, UnknownNamesAndMismatchedHandlersAttachNothing) {
  net::WinInetControl control;
  control.SetEventHandler("DownloadBegin", &BeginA);
  for (const char* name : {"Progress", "DownloadBegin ", "Download Begin", "", "DOWNLOADBEGINX"}) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(control.SetEventHandler(name, &BeginB)))
        << name;
  }
  // A FILEDOWNLOAD handler cannot sit in the DOWNLOADBEGIN slot.
  EXPECT_TRUE(
      std::holds_alternative<std::monostate>(control.SetEventHandler("DownloadBegin", &Chunk)));
  EXPECT_EQ(Held<net::DownloadBeginHandler>(control.SetEventHandler("DownloadBegin", {})), &BeginA);
}

TEST(WinInetControlTest, Properties) {
  net::WinInetControl control;
  EXPECT_EQ(control.HttpVersion(), "HTTP/1.1");
  EXPECT_EQ(control.BufferSize(), 4096u);
  EXPECT_EQ(control.TimeoutMs(), 20000u);

  control.SetHttpVersion(std::string(40, 'v'));
  EXPECT_EQ(control.HttpVersion(), std::string(29, 'v'));
  control.SetBufferSize(100);
  EXPECT_EQ(control.BufferSize(), 100u);
  control.SetBufferSize(0);  // would read nothing at all
  EXPECT_EQ(control.BufferSize(), 4096u);
}

TEST(RangeHeaderTest, StartIsOneBasedAndTheEndSpansTheLengthAsked) {
  EXPECT_EQ(net::RangeHeader(0, 0), "");
  EXPECT_EQ(net::RangeHeader(0, 50), "");
  EXPECT_EQ(net::RangeHeader(1, 0), "Range: bytes=0-\r\n");
  EXPECT_EQ(net::RangeHeader(101, 0), "Range: bytes=100-\r\n");
  EXPECT_EQ(net::RangeHeader(1, 1), "Range: bytes=0-0\r\n");
  EXPECT_EQ(net::RangeHeader(5, 10), "Range: bytes=4-13\r\n");
  EXPECT_EQ(net::RangeHeader(UINT32_MAX, UINT32_MAX), "Range: bytes=4294967294-8589934588\r\n");
}

}  // namespace
