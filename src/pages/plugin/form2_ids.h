// Control IDs of the plug-in page, shared by its layout, its routing table and the tests.
#pragma once

#include <cstdint>

namespace plugin_page::id {

enum : int32_t {
  kInstallCaption = 102,  // Label2
  kStateLabel = 103,      // Label1: downloading, installing
  kLaunchButton = 104,    // Command2
  kDownload = 105,        // WinInet1
  kProgressBar = 106,     // Progress1
  kVersionFrame = 107,    // Frame1
  kInstallButton = 108,   // Command1
  kVersionList = 109,     // List1
  kLaunchCaption = 110,   // Label3
};

}  // namespace plugin_page::id
