#include "net/internet_session.h"

namespace net {

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

UniqueInternet OpenInternet() {
  return UniqueInternet(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
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

}  // namespace net
