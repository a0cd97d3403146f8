#include "net/transfer.h"

#include <cstring>
#include <new>
#include <vector>

#include "net/internet_handle.h"
#include "net/internet_session.h"
#include "net/split_url.h"

namespace net {
namespace {

// Always ask the server, never the cache, and leave the cache alone: a copy of every body there
// would fill the disk beside the caller's own. Keep the connection for WinInet to reuse.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
constexpr char kFormContentType[] = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr size_t kMaxExtraHeaders = 4095;
constexpr DWORD kRawHeadersSize = 4096;

DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = ::GetLastError();
  return error != 0 ? error : fallback;
}

class Exchange {
 public:
  explicit Exchange(const TransferRequest& request) : r_(request) {}

  // Runs the exchange; DOWNLOADCOMPLETE has been raised unless an exception escaped, and
  // completed() says whether it was.
  std::string Run();
  bool completed() const { return completed_; }

 private:
  std::string Fail(DWORD error) {
    Complete(std::string(), error);
    return std::string();
  }
  void Complete(const std::string& body, DWORD error) {
    completed_ = true;
    if (r_.handlers.downloadComplete) {
      r_.handlers.downloadComplete(sent_.internet.get(), r_.user, body.data(),
                                   static_cast<DWORD>(body.size()), error);
    }
  }
  void RaiseHeaders();
  std::string ReadBody();

  const TransferRequest& r_;
  bool completed_ = false;
  SentRequest sent_;
};

std::string Exchange::Run() {
  const UrlParts url = SplitUrl(r_.url);
  if (url.port > 0xFFFF) return Fail(ERROR_INTERNET_INVALID_URL);

  RequestOptions options;
  options.verb = r_.verb;
  options.url = url;
  options.httpVersion = r_.httpVersion;
  options.referrer = r_.referrer;
  options.userName = r_.userName;
  options.password = r_.password;
  options.flags = kRequestFlags;
  options.context = r_.context;
  options.timeoutMs = r_.timeoutMs;
  options.status = r_.handlers.internetStatus;
  if (r_.verb == "POST") options.headers = kFormContentType;
  options.headers += RangeHeader(r_.rangeStart, r_.rangeLength);
  if (r_.rangeStart != 0 && !r_.ifRange.empty())
    options.headers += "If-Range: " + r_.ifRange + "\r\n";
  if (options.headers.size() > kMaxExtraHeaders) options.headers.resize(kMaxExtraHeaders);
  options.body = r_.body;
  sent_ = SendRequest(options);
  if (sent_.error != 0) return Fail(sent_.error);

  RaiseHeaders();
  return ReadBody();
}

void Exchange::RaiseHeaders() {
  if (!r_.handlers.headers) return;
  std::string text(kRawHeadersSize, '\0');
  DWORD size = kRawHeadersSize - 1;
  BOOL ok = ::HttpQueryInfoA(sent_.request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &size,
                             nullptr);
  // Long headers (many cookies, say) still reach the handler: ask again with the size needed.
  if (!ok && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    text.assign(static_cast<size_t>(size) + 1, '\0');
    ok = ::HttpQueryInfoA(sent_.request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &size,
                          nullptr);
  }
  if (ok) r_.handlers.headers(sent_.internet.get(), r_.user, text.data(), size);
}

std::string Exchange::ReadBody() {
  // The events count in 32 bits: no body can be longer, whatever the caller allows.
  const uint64_t limit =
      r_.maxBodyBytes != 0 && r_.maxBodyBytes < UINT32_MAX ? r_.maxBodyBytes : UINT32_MAX;
  const uint64_t announced = ContentLengthOf(sent_.request.get()).value_or(0);
  if (announced > limit) return Fail(ERROR_FILE_TOO_LARGE);  // before a byte of the body is read
  const DWORD total = static_cast<DWORD>(announced);
  // A caller that takes the data chunk by chunk keeps it itself: nothing is gathered here.
  const bool keepBody = r_.handlers.fileDownload == nullptr;
  std::string body;
  std::vector<char> buffer;
  try {
    if (keepBody) body.resize(total);  // a known length is allocated once
    buffer.resize(r_.bufferSize);
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  if (r_.handlers.downloadBegin) r_.handlers.downloadBegin(sent_.internet.get(), r_.user, total);

  DWORD received = 0;
  DWORD error = 0;
  bool stopped = false;
  LowSpeedWatch speed(r_.lowSpeedBytesPerSecond, r_.lowSpeedPeriodMs, ::GetTickCount64());
  for (;;) {
    // A read waits until its buffer is full, so it asks only for what has arrived: otherwise
    // a trickle would keep one read, and the speed check, waiting for ever.
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(sent_.request.get(), &available, 0, 0)) {
      error = LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR);
      break;
    }
    DWORD n = 0;
    const DWORD wanted = available > 0 && available < r_.bufferSize ? available : r_.bufferSize;
    if (!::InternetReadFile(sent_.request.get(), buffer.data(), wanted, &n)) {
      error = LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR);
      break;
    }
    if (n == 0) break;
    if (!speed.Accept(n, ::GetTickCount64())) {
      error = ERROR_INTERNET_TIMEOUT;  // too slow for too long: as good as stalled
      break;
    }
    if (n > limit - received) {
      error = ERROR_FILE_TOO_LARGE;
      break;
    }
    if (r_.handlers.fileDownload &&
        r_.handlers.fileDownload(sent_.internet.get(), r_.user, buffer.data(), n, received + n,
                                 total) != 0) {
      stopped = true;
      break;
    }
    if (keepBody) {
      try {
        if (body.size() < static_cast<size_t>(received) + n) body.resize(received + n);
      } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        break;
      }
      std::memcpy(body.data() + received, buffer.data(), n);
    }
    received += n;
  }
  // The data ended before the promised length: the connection broke, whatever the read said.
  if (error == 0 && !stopped && received < total) error = ERROR_INTERNET_CONNECTION_RESET;
  Complete(body, error);
  return body;
}

}  // namespace

std::string RangeHeader(uint32_t rangeStart, uint32_t rangeLength) {
  if (rangeStart == 0) return std::string();
  std::string header = "Range: bytes=" + std::to_string(rangeStart - 1) + "-";
  // Inclusive end: the range holds rangeLength bytes starting at byte rangeStart (1-based).
  if (rangeLength > 0) header += std::to_string(uint64_t{rangeStart} + rangeLength - 2);
  return header + "\r\n";
}

std::string RunTransfer(const TransferRequest& request) {
  Exchange exchange(request);
  try {
    return exchange.Run();
  } catch (...) {
    // Only allocation failures or a throwing handler get here; the caller still hears the end.
  }
  if (!exchange.completed()) ReportStartFailure(request, ERROR_NOT_ENOUGH_MEMORY);
  return std::string();
}

void ReportStartFailure(const TransferRequest& request, DWORD error) {
  if (!request.handlers.downloadComplete) return;
  try {
    request.handlers.downloadComplete(nullptr, request.user, "", 0, error);
  } catch (...) {
  }
}

}  // namespace net
