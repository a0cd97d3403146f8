#include "pages/windows/window_identity.h"

#include <algorithm>
#include <vector>

#include "environment/sketchup_process.h"

namespace windows_page {

bool IsStillSketchUpWindow(HWND window, DWORD processId, std::span<const DWORD> sketchUpIds) {
  if (!::IsWindow(window) || processId == 0) return false;
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  return owner == processId &&
         std::find(sketchUpIds.begin(), sketchUpIds.end(), processId) != sketchUpIds.end();
}

bool IsStillSketchUpWindow(HWND window, DWORD processId) {
  const std::vector<DWORD> running = environment::SketchUpProcessIds();
  return IsStillSketchUpWindow(window, processId, running);
}

}  // namespace windows_page
