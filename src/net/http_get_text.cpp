#include "net/http_get_text.h"

#include "net/internet_handle.h"
#include "net/split_url.h"

namespace net {
namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr DWORD kReadSize = 4096;

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

std::string HttpGetText(std::string_view url, std::string_view referrer, std::string_view userName,
                        std::string_view password) {
  try {
    const UrlParts parts = SplitUrl(url);
    if (parts.port > 0xFFFF) return std::string();
    const std::string referrerText(referrer), userText(userName), passwordText(password);

    UniqueInternet internet(
        ::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return std::string();
    UniqueInternet connection(::InternetConnectA(
        internet.get(), parts.host.c_str(), static_cast<INTERNET_PORT>(parts.port),
        OrNull(userText), OrNull(passwordText), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return std::string();
    const char* acceptTypes[] = {"*/*", nullptr};
    // Always from the server, never the cache; no keep-connection for a one-off question.
    const DWORD flags = INTERNET_FLAG_RELOAD | (parts.secure ? INTERNET_FLAG_SECURE : 0);
    UniqueInternet request(::HttpOpenRequestA(connection.get(), "GET", parts.path.c_str(),
                                              "HTTP/1.1", OrNull(referrerText), acceptTypes, flags,
                                              0));
    if (!request) return std::string();
    if (!::HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return std::string();

    std::string text;
    char buffer[kReadSize + 1];
    DWORD n = 0;
    while (::InternetReadFile(request.get(), buffer, kReadSize, &n) && n > 0) {
      text.append(buffer, n);
    }
    return text;
  } catch (...) {  // out of memory: a failure like any other
    return std::string();
  }
}

}  // namespace net
