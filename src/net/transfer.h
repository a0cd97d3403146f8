// One HTTP exchange of the download control, raising its events as it goes. The request owns copies
// of everything it needs, so it can be moved to a worker thread and outlive the caller's arguments.
#pragma once

#include <cstdint>
#include <string>

#include "net/download_events.h"
#include "net/low_speed.h"

namespace net {

struct TransferRequest {
  std::string verb = "GET";  // "GET" or "POST"
  std::string url;
  std::string body;  // POST only
  uint64_t user = 0;
  uint32_t rangeStart = 0;   // 1-based first byte wanted; 0 asks for no range
  uint32_t rangeLength = 0;  // 0 for an open end
  // With a range: the validator (an ETag or a date) it is asked for; should the body have
  // changed since, the server sends all of it. Empty: the range, whatever the body is now.
  std::string ifRange;
  std::string referrer, userName, password;  // empty for none
  DWORD_PTR context = 0;  // WinInet context value for the connection and the request
  EventHandlers handlers;
  std::string httpVersion;
  uint32_t bufferSize = 4096;
  uint32_t timeoutMs = 20000;  // connect, send and receive, each
  // Below this speed for this long, the transfer is given up (see low_speed.h).
  uint32_t lowSpeedBytesPerSecond = kDefaultLowSpeedBytesPerSecond;
  uint32_t lowSpeedPeriodMs = kDefaultLowSpeedPeriodMs;
  uint64_t maxBodyBytes = 0;  // 0: no bound but the events' own 32 bits
};

// The "Range" line for a request, or empty when none is asked for.
std::string RangeHeader(uint32_t rangeStart, uint32_t rangeLength);

// Runs the exchange on the calling thread and returns the body as DOWNLOADCOMPLETE saw it (empty
// when no response came, or when a FILEDOWNLOAD handler took the data). DOWNLOADCOMPLETE is raised
// exactly once.
std::string RunTransfer(const TransferRequest& request);

// Tells the caller that a transfer could not even start (e.g. no worker thread).
void ReportStartFailure(const TransferRequest& request, DWORD error);

}  // namespace net
