// The stand-in's command line as the windows it is asked to open.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace standin {

struct WindowRequest {
  enum class Kind { kModel, kControls };
  Kind kind = Kind::kModel;
  std::wstring title;
  bool visible = true;
  bool refuseClose = false;
  bool slowClose = false;    // takes kStandinSlowCloseMs to handle WM_CLOSE, then goes
  std::optional<RECT> rect;  // outer rectangle as left, top, right, bottom
};

struct Options {
  std::vector<WindowRequest> windows;
  std::wstring readyEvent;
};

// Arguments without the program name. Nothing when an option is unknown or incomplete.
std::optional<Options> ParseOptions(const std::vector<std::wstring>& args);

}  // namespace standin
