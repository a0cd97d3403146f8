// The main window's status bar: panels with fixed widths and a last one that takes the rest.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace app {

inline constexpr int kMaxPanels = 256;

// Appends a panel; its index (kMaxPanels when the bar is full).
int AddPanel(HWND statusBar, std::wstring_view text, std::wstring_view toolTip, int drawingStyle,
             int32_t width, std::wstring_view iconName);
struct PanelSpec {
  std::wstring_view text;
  int32_t width;  // design units; 0 takes the rest
};
// Appends panels without tip or icon, as AddPanel does one by one, laying the bar out once.
void AddPanels(HWND statusBar, std::span<const PanelSpec> panels);
// Writes a panel's text, keeping its drawing style.
void SetPanelText(HWND statusBar, int index, std::wstring_view text);
// Lets the bar place itself at the bottom of its parent and sets the panel edges.
void LayoutPanels(HWND statusBar);

// The right edges of panels with the given widths (design units; 0 or less takes an equal
// share of what is left, counted over that panel and the ones after it) in a bar `clientWidth`
// pixels wide. `scale` turns design units into pixels.
std::vector<int> PanelRightEdges(std::span<const int32_t> widths, int clientWidth,
                                 const std::function<float(float)>& scale);

}  // namespace app
