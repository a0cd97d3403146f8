// Splitting a URL into what WinInet's connect and open-request calls take.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace net {

struct UrlParts {
  std::string host;
  std::string path;     // without its leading "/"; WinInet puts one back on the wire
  uint32_t port = 80;   // as written in the URL; may exceed 65535 when the URL is bad
  bool secure = false;  // "https://"
};

// Accepts "http://", "https://" (any case) or no scheme. Spaces around the URL, the host and the
// path are dropped; a query string stays in the path; "host:port" names the port, which otherwise
// is 80 (443 for "https://"). User information is not recognised. With `knownHost` given, a URL
// without a scheme is taken as a path on that host.
UrlParts SplitUrl(std::string_view url, std::string_view knownHost = {});

}  // namespace net
