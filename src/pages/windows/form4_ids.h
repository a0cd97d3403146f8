// Control IDs of the window page, shared by its layout, its routing table and the tests.
#pragma once

#include <cstdint>

namespace windows_page::id {

enum : int32_t {
  kWindowList = 102,           // List1
  kRefreshButton = 103,        // Command1
  kResetPositionButton = 104,  // Command2(0)
  kWindowFrame = 105,          // Frame1
  kToolsFrame = 106,           // Frame2
  kMakeTopmostButton = 107,    // Command2(1)
  kCancelTopmostButton = 108,  // Command2(2)
  kDisableButton = 109,        // Command2(3)
  kEnableButton = 110,         // Command2(4)
  kShakeButton = 111,          // Command2(5)
  kCloseButton = 112,          // Command2(6)
};

}  // namespace windows_page::id
