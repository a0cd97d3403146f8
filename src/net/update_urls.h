// Where the update server publishes the latest version and the plug-in archive.
#pragma once

#include <string>

#include "net/update_config.h"

namespace net {

inline std::string VersionUrl() {
  return std::string("http://") + kUpdateServerHost + "/index/tools/getVersion";
}

inline std::string PluginArchiveUrl() {
  return std::string("http://") + kUpdateServerHost + "/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz";
}

}  // namespace net
