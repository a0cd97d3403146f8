// Where the update server publishes the latest version and the plug-in archive.
#pragma once

#include <string>
#include <string_view>

#include "net/update_config.h"

namespace net {

// The server's address as the start of a URL: "https://host[:port]" stays as it is and goes over
// TLS; a host without a scheme (or with "http://") is plain HTTP, as builds always had it. A
// trailing "/" is dropped so that the paths below can follow.
inline std::string UpdateBaseUrl(std::string_view host) {
  constexpr std::string_view kHttps = "https://", kHttp = "http://";
  auto startsWith = [&host](std::string_view scheme) {
    if (host.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      const char c = host[i];
      if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != scheme[i]) return false;
    }
    return true;
  };
  std::string base;
  if (startsWith(kHttps)) {
    base = std::string(kHttps) + std::string(host.substr(kHttps.size()));
  } else if (startsWith(kHttp)) {
    base = std::string(kHttp) + std::string(host.substr(kHttp.size()));
  } else {
    base = std::string(kHttp) + std::string(host);
  }
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

inline std::string VersionUrl() {
  return UpdateBaseUrl(kUpdateServerHost) + "/index/tools/getVersion";
}

inline std::string PluginArchiveUrl() {
  return UpdateBaseUrl(kUpdateServerHost) + "/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz";
}

}  // namespace net
