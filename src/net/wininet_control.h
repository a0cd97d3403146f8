// WinInetControl: a non-visual control that fetches one URL over HTTP and reports through named
// events (see download_events.h for the handler types and when each is raised).
//
//   net::WinInetControl control;
//   control.SetHttpVersion("HTTP/1.1");
//   control.SetBufferSize(4096);
//   control.SetEventHandler("FileDownload", &OnChunk);  // int OnChunk(HINTERNET, ...)
//   control.SetEventHandler("DownloadComplete", &OnComplete);
//   control.HttpGetAsync(url, reinterpret_cast<uint64_t>(file), 0, 0);
//
// The asynchronous calls copy the URL, every text, the handlers and the properties when they start,
// so the caller's texts may go away at once and later changes to the control do not touch a running
// transfer. Each runs on a detached worker thread of its own and always ends with DOWNLOADCOMPLETE
// (with an error code when it failed). Nothing can cancel it from outside; only a FILEDOWNLOAD
// handler can stop it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/download_events.h"
#include "net/transfer.h"

namespace net {

// Connect, send and receive time-outs of a new control, each.
inline constexpr uint32_t kDefaultTimeoutMs = 20000;
inline constexpr uint32_t kDefaultBufferSize = 4096;
inline constexpr size_t kMaxHttpVersionLength = 29;

class WinInetControl {
 public:
  // Attaches `handler` to the event named `name` (ASCII case ignored: "INTERNETSTATUS",
  // "DOWNLOADBEGIN", "DOWNLOADCOMPLETE", "FILEDOWNLOAD", "HEADERS") and returns the handler
  // attached before, or std::monostate when there was none. std::monostate detaches. An unknown
  // name, or a handler whose type is not that event's, attaches nothing and returns std::monostate.
  EventHandler SetEventHandler(std::string_view name, EventHandler handler);

  // The HTTP version handed to each request (at most 29 characters; more are cut off). Empty lets
  // WinInet choose.
  const std::string& HttpVersion() const { return httpVersion_; }
  void SetHttpVersion(std::string_view version);

  // Bytes asked for per read. Zero would read nothing, so it stands for the default.
  uint32_t BufferSize() const { return bufferSize_; }
  void SetBufferSize(uint32_t bytes) { bufferSize_ = bytes != 0 ? bytes : kDefaultBufferSize; }

  // How long connecting, sending, or waiting for the next bytes may each take before the transfer
  // ends with an error (WinInet's or the socket's time-out code). 0 waits forever.
  uint32_t TimeoutMs() const { return timeoutMs_; }
  void SetTimeoutMs(uint32_t ms) { timeoutMs_ = ms; }

  // The speed below which a transfer that lasts `periodMs` is given up with ERROR_INTERNET_TIMEOUT
  // (see low_speed.h); 0 for either never gives up. Defaults: 1 KB/s for 30 s.
  uint32_t LowSpeedBytesPerSecond() const { return lowSpeedBytesPerSecond_; }
  uint32_t LowSpeedPeriodMs() const { return lowSpeedPeriodMs_; }
  void SetLowSpeedLimit(uint32_t bytesPerSecond, uint32_t periodMs) {
    lowSpeedBytesPerSecond_ = bytesPerSecond;
    lowSpeedPeriodMs_ = periodMs;
  }

  // The most body bytes a transfer takes. A response announcing a longer body ends before its body
  // is read, and one without a length ends when its next chunk would pass the bound; both end
  // with ERROR_FILE_TOO_LARGE, the chunk over the bound not delivered. 0: no bound but the events'
  // 32 bits (a body of up to 4 GiB - 1).
  uint64_t MaxBodyBytes() const { return maxBodyBytes_; }
  void SetMaxBodyBytes(uint64_t bytes) { maxBodyBytes_ = bytes; }

  // The validator (an ETag or a Last-Modified date the server gave) a range is asked for, sent as
  // "If-Range": should the body have changed, the server sends all of it (200) instead of the
  // range (206). Empty sends none. A validator with a line break is refused (none is kept).
  const std::string& IfRange() const { return ifRange_; }
  void SetIfRange(std::string_view validator);

  // rangeStart is the 1-based first byte wanted (0: the whole body, no Range header); rangeLength
  // the number of bytes wanted from there (0: up to the end). Empty referrer, user name or password
  // are not passed on.
  //
  // Blocking: the events run on the calling thread; returns the body as DOWNLOADCOMPLETE got it
  // (empty when no response came or a FILEDOWNLOAD handler took the data).
  std::string HttpGet(std::string_view url, uint64_t user, uint32_t rangeStart,
                      uint32_t rangeLength, std::string_view referrer = {},
                      std::string_view userName = {}, std::string_view password = {}) const;
  std::string HttpPost(std::string_view url, std::string_view body, uint64_t user,
                       uint32_t rangeStart, uint32_t rangeLength, std::string_view referrer = {},
                       std::string_view userName = {}, std::string_view password = {}) const;
  // On a worker thread; returns at once. If no thread can be started, DOWNLOADCOMPLETE is raised on
  // the calling thread before returning.
  void HttpGetAsync(std::string_view url, uint64_t user, uint32_t rangeStart, uint32_t rangeLength,
                    std::string_view referrer = {}, std::string_view userName = {},
                    std::string_view password = {}) const;
  // As HttpGetAsync; the user value is also WinInet's context value (seen by INTERNETSTATUS).
  void HttpPostAsync(std::string_view url, std::string_view body, uint64_t user,
                     uint32_t rangeStart, uint32_t rangeLength, std::string_view referrer = {},
                     std::string_view userName = {}, std::string_view password = {}) const;

 private:
  // Copies the arguments, the handlers and the properties into one self-contained request.
  TransferRequest MakeRequest(std::string_view verb, std::string_view url, std::string_view body,
                              uint64_t user, uint32_t rangeStart, uint32_t rangeLength,
                              std::string_view referrer, std::string_view userName,
                              std::string_view password) const;
  // The copy itself could not be made: the caller still hears the end of the transfer.
  void ReportNoMemory(uint64_t user) const;

  EventHandlers handlers_;
  std::string httpVersion_ = "HTTP/1.1";
  std::string ifRange_;
  uint32_t bufferSize_ = kDefaultBufferSize;
  uint32_t timeoutMs_ = kDefaultTimeoutMs;
  uint32_t lowSpeedBytesPerSecond_ = kDefaultLowSpeedBytesPerSecond;
  uint32_t lowSpeedPeriodMs_ = kDefaultLowSpeedPeriodMs;
  uint64_t maxBodyBytes_ = 0;
};

}  // namespace net
