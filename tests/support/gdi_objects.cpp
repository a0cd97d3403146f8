#include "support/gdi_objects.h"

#include <windows.h>

#include <vector>

namespace testsupport {

int GdiObjectsLeft() {
  std::vector<HBRUSH> made;
  while (made.size() < 200000) {
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    if (!brush) break;
    made.push_back(brush);
  }
  for (HBRUSH brush : made) ::DeleteObject(brush);
  return static_cast<int>(made.size());
}

}  // namespace testsupport
