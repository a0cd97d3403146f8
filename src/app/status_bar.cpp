#include "app/status_bar.h"

#include <commctrl.h>

#include <string>

#include "forms/create.h"
#include "forms/scaling.h"

namespace app {

std::vector<int> PanelRightEdges(std::span<const int32_t> widths, int clientWidth,
                                 const std::function<float(float)>& scale) {
  std::vector<int> edges;
  const size_t count = widths.size();
  double x = 0;
  double rest = clientWidth;
  for (size_t i = 0; i < count; ++i) {
    if (widths[i] > 0) {
      x = forms::RoundHalfEven(x + scale(static_cast<float>(widths[i])));
    } else {
      x = forms::RoundHalfEven(rest / static_cast<double>(count - i) + x);
    }
    rest = clientWidth - x;
    if (rest < 1) rest = 1;
    edges.push_back(static_cast<int>(x));
  }
  return edges;
}

void LayoutPanels(HWND statusBar) {
  forms::ControlInfo* info = forms::InfoOf(statusBar);
  if (!info || info->panelWidths.empty()) return;
  ::SendMessageW(statusBar, WM_SIZE, 0, 0);
  RECT client{};
  ::GetClientRect(statusBar, &client);
  // Design units at the DPI of the window the bar is in.
  const float factor = forms::FactorAt(forms::DpiOf(statusBar));
  std::vector<int> edges =
      PanelRightEdges(info->panelWidths, client.right, [factor](float v) { return v * factor; });
  ::SendMessageW(statusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

namespace {

// Appends a panel's record; its index, or kMaxPanels when the bar is full.
int AppendPanel(forms::ControlInfo& info, int32_t width) {
  if (info.panelWidths.size() >= kMaxPanels) return kMaxPanels;
  info.panelWidths.push_back(width);
  info.panelIcons.push_back(nullptr);
  return static_cast<int>(info.panelWidths.size()) - 1;
}

void WritePanel(HWND statusBar, int index, std::wstring_view text, std::wstring_view toolTip,
                int drawingStyle) {
  const std::wstring panelText(text), tip(toolTip);
  ::SendMessageW(statusBar, SB_SETTEXTW, index | drawingStyle,
                 reinterpret_cast<LPARAM>(panelText.c_str()));
  ::SendMessageW(statusBar, SB_SETTIPTEXTW, index, reinterpret_cast<LPARAM>(tip.c_str()));
}

void Repaint(HWND statusBar) {
  ::InvalidateRect(statusBar, nullptr, TRUE);
  ::UpdateWindow(statusBar);
}

}  // namespace

int AddPanel(HWND statusBar, std::wstring_view text, std::wstring_view toolTip, int drawingStyle,
             int32_t width, std::wstring_view iconName) {
  forms::ControlInfo* info = forms::InfoOf(statusBar);
  if (!info) return -1;
  const int index = AppendPanel(*info, width);
  if (index == kMaxPanels) return kMaxPanels;
  LayoutPanels(statusBar);
  if (!iconName.empty()) {
    const std::wstring name(iconName);
    auto icon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), name.c_str(), IMAGE_ICON, 16, 16, 0));
    if (HICON old = info->panelIcons[index]) ::DestroyIcon(old);
    info->panelIcons[index] = icon;
    ::SendMessageW(statusBar, SB_SETICON, index, reinterpret_cast<LPARAM>(icon));
  }
  WritePanel(statusBar, index, text, toolTip, drawingStyle);
  Repaint(statusBar);
  return index;
}

void AddPanels(HWND statusBar, std::span<const PanelSpec> panels) {
  forms::ControlInfo* info = forms::InfoOf(statusBar);
  if (!info) return;
  std::vector<int> indexes;
  for (const PanelSpec& panel : panels) {
    const int index = AppendPanel(*info, panel.width);
    if (index == kMaxPanels) break;
    indexes.push_back(index);
  }
  LayoutPanels(statusBar);
  for (size_t i = 0; i < indexes.size(); ++i) {
    WritePanel(statusBar, indexes[i], panels[i].text, L"", 0);
  }
  Repaint(statusBar);
}

void SetPanelText(HWND statusBar, int index, std::wstring_view text) {
  if (!statusBar || !::IsWindow(statusBar)) return;
  const LRESULT lengthAndStyle = ::SendMessageW(statusBar, SB_GETTEXTLENGTHW, index, 0);
  const int style = static_cast<int>(HIWORD(lengthAndStyle));
  const std::wstring panelText(text);
  ::SendMessageW(statusBar, SB_SETTEXTW, index | style,
                 reinterpret_cast<LPARAM>(panelText.c_str()));
  ::InvalidateRect(statusBar, nullptr, TRUE);  // painted with the next turn of the loop
}

}  // namespace app
