#include "net/http_get_text.h"

#include "net/internet_handle.h"
#include "net/internet_session.h"
#include "net/split_url.h"

namespace net {
namespace {

constexpr DWORD kReadSize = 4096;

}  // namespace

std::string HttpGetText(std::string_view url, size_t maxBytes, std::string_view referrer,
                        std::string_view userName, std::string_view password) {
  try {
    const UrlParts parts = SplitUrl(url);
    if (parts.port > 0xFFFF) return std::string();

    RequestOptions options;
    options.url = parts;
    options.httpVersion = "HTTP/1.1";
    options.referrer = std::string(referrer);
    options.userName = std::string(userName);
    options.password = std::string(password);
    // Always from the server, never into or out of the cache; no keep-connection for a one-off
    // question.
    options.flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    const SentRequest sent = SendRequest(options);
    if (sent.error != 0) return std::string();
    HINTERNET request = sent.request.get();
    // The proxy's own page, not the server's answer.
    if (StatusCodeOf(request) == kProxyAuthenticationRequired) return std::string();
    if (ContentLengthOf(request).value_or(0) > maxBytes) return std::string();

    std::string text;
    char buffer[kReadSize];
    DWORD n = 0;
    // One byte past the bound tells a reply that is too long; the rest is never read.
    while (text.size() <= maxBytes) {
      const size_t room = maxBytes - text.size();
      const DWORD wanted = room >= kReadSize ? kReadSize : static_cast<DWORD>(room) + 1;
      if (!::InternetReadFile(request, buffer, wanted, &n) || n == 0) return text;
      text.append(buffer, n);
    }
    return std::string();
  } catch (...) {  // out of memory: a failure like any other
    return std::string();
  }
}

}  // namespace net
