// Control IDs of the main window, shared by the window and the tests.
#pragma once

#include <cstdint>

namespace app::id {

enum : int32_t {
  kTabControl = 102,  // TabControl1
  kStatusBar = 103,   // Status1
};

}  // namespace app::id
