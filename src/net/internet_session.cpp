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

}  // namespace net
