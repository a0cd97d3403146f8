#include "net/internet_session.h"

#include <atomic>

namespace net {

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// Set once a request got through the system's proxy; never cleared during the run.
std::atomic<bool> throughProxy{false};

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = ::GetLastError();
  return error != 0 ? error : fallback;
}

// Set on every handle: WinInet implementations differ in what a child handle inherits.
void SetTimeouts(HINTERNET handle, DWORD ms) {
  if (ms == 0) return;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    ::InternetSetOptionA(handle, option, &ms, sizeof ms);
  }
}

SentRequest SendOn(const RequestOptions& options, Route route) {
  SentRequest sent;
  sent.internet = OpenInternet(route);
  if (!sent.internet) {
    sent.error = LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR);
    return sent;
  }
  SetTimeouts(sent.internet.get(), options.timeoutMs);
  if (options.status) ::InternetSetStatusCallbackW(sent.internet.get(), options.status);

  sent.connection = ConnectHttp(sent.internet.get(), options.url, options.userName,
                                options.password, options.context);
  if (!sent.connection) {
    sent.error = LastErrorOr(ERROR_INTERNET_CANNOT_CONNECT);
    return sent;
  }
  SetTimeouts(sent.connection.get(), options.timeoutMs);

  sent.request =
      OpenHttpRequest(sent.connection.get(), options.verb, options.url, options.httpVersion,
                      options.referrer, options.flags, options.context);
  if (!sent.request) {
    sent.error = LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR);
    return sent;
  }
  SetTimeouts(sent.request.get(), options.timeoutMs);

  void* body = options.body.empty() ? nullptr : const_cast<char*>(options.body.data());
  if (!::HttpSendRequestA(sent.request.get(), OrNull(options.headers),
                          options.headers.empty() ? 0 : static_cast<DWORD>(-1), body,
                          static_cast<DWORD>(options.body.size()))) {
    sent.error = LastErrorOr(ERROR_INTERNET_CANNOT_CONNECT);
  }
  return sent;
}

}  // namespace

UniqueInternet OpenInternet(Route route) {
  const DWORD access =
      route == Route::kSystemProxy ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_DIRECT;
  return UniqueInternet(::InternetOpenA(kAgent, access, nullptr, nullptr, 0));
}

bool IsUnreachable(DWORD error) {
  return error == ERROR_INTERNET_NAME_NOT_RESOLVED || error == ERROR_INTERNET_CANNOT_CONNECT ||
         error == ERROR_INTERNET_TIMEOUT;
}

SentRequest SendRequest(const RequestOptions& options) {
  if (throughProxy.load()) return SendOn(options, Route::kSystemProxy);
  SentRequest sent = SendOn(options, Route::kDirect);
  if (!IsUnreachable(sent.error)) return sent;
  // The direct attempt's handles go, children first, before the next attempt opens its own.
  sent.request.reset();
  sent.connection.reset();
  sent.internet.reset();
  sent = SendOn(options, Route::kSystemProxy);
  if (sent.error == 0) throughProxy.store(true);
  return sent;
}

UniqueInternet ConnectHttp(HINTERNET internet, const UrlParts& url, const std::string& userName,
                           const std::string& password, DWORD_PTR context) {
  return UniqueInternet(::InternetConnectA(internet, url.host.c_str(),
                                           static_cast<INTERNET_PORT>(url.port), OrNull(userName),
                                           OrNull(password), INTERNET_SERVICE_HTTP, 0, context));
}

UniqueInternet OpenHttpRequest(HINTERNET connection, const std::string& verb, const UrlParts& url,
                               const std::string& httpVersion, const std::string& referrer,
                               DWORD flags, DWORD_PTR context) {
  const char* acceptTypes[] = {"*/*", nullptr};
  return UniqueInternet(::HttpOpenRequestA(
      connection, verb.c_str(), url.path.c_str(), OrNull(httpVersion), OrNull(referrer),
      acceptTypes, flags | (url.secure ? INTERNET_FLAG_SECURE : 0), context));
}

std::optional<uint64_t> ContentLengthOf(HINTERNET request) {
  // As text: WinInet's number form is 32 bits wide and says nothing of a longer one.
  char text[32] = {};
  DWORD size = sizeof text - 1;
  if (!::HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
    // Thirty digits and more are no length anything could be read to.
    if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER) return UINT64_MAX;
    return std::nullopt;
  }
  if (size == 0) return std::nullopt;
  uint64_t length = 0;
  for (DWORD i = 0; i < size; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    const unsigned digit = static_cast<unsigned>(text[i] - '0');
    if (length > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    length = length * 10 + digit;
  }
  return length;
}

DWORD StatusCodeOf(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
    return 0;
  }
  return status;
}

}  // namespace net
