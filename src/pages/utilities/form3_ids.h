// Control IDs of the utilities page, shared by its layout, its routing table and the tests.
#pragma once

#include <array>
#include <cstdint>

namespace utilities_page::id {

enum : int32_t {
  kConfigFolder1Button = 102,     // Command1(2)
  kPluginFolder2Button = 103,     // Command1(5)
  kPluginFolder1Button = 104,     // Command1(4)
  kUninstallButton = 105,         // Command1(0)
  kToolsFrame = 106,              // Frame2
  kVersionFrame = 107,            // Frame1
  kVersionList = 108,             // List1
  kPluginOwnFolderButton = 109,   // Command1(1)
  kConfigFolder2Button = 110,     // Command1(3)
  kSketchUpFolderButton = 111,    // Command1(6)
  kEnvironmentCheckButton = 112,  // Command1(7)
};

// The Command1 array's buttons by index: 0 uninstalls, 1 to 6 open folders, 7 checks.
inline constexpr std::array<int32_t, 8> kCommand1 = {
    kUninstallButton,     kPluginOwnFolderButton, kConfigFolder1Button,  kConfigFolder2Button,
    kPluginFolder1Button, kPluginFolder2Button,   kSketchUpFolderButton, kEnvironmentCheckButton};

}  // namespace utilities_page::id
