// Explorer windows that the page opens, as Wine's Explorer shows them: a top-level window of
// class "ExplorerWClass" titled with the folder's name, listing the folder's items. (Wine's
// Explorer opens the folder for "/select,<file>" but selects nothing, so the folder shown is
// all a test can observe.)
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>

#include "base/text.h"
#include "support/driver.h"
#include "support/remote_buffer.h"

namespace utilities_test {

inline constexpr wchar_t kExplorerClass[] = L"ExplorerWClass";

// The names listed in an Explorer window's item view.
inline std::set<std::wstring> ExplorerItems(HWND explorer) {
  std::set<std::wstring> names;
  const HWND view = testsupport::FindDescendant(explorer, L"SysListView32");
  if (!view) return names;
  constexpr size_t kTextOffset = 256;
  constexpr int kTextChars = 260;
  testsupport::RemoteBuffer buffer(view, kTextOffset + kTextChars * sizeof(wchar_t));
  if (!buffer) return names;
  const auto count = static_cast<int>(testsupport::SendWithin(view, LVM_GETITEMCOUNT));
  for (int i = 0; i < count; ++i) {
    LVITEMW item{};
    item.cchTextMax = kTextChars;
    item.pszText = static_cast<LPWSTR>(buffer.At(kTextOffset));
    wchar_t text[kTextChars] = {};
    if (buffer.WriteValue(item) &&
        testsupport::SendWithin(view, LVM_GETITEMTEXTW, i, buffer.AsLParam()) > 0 &&
        buffer.Read(text, sizeof(text) - sizeof(wchar_t), kTextOffset)) {
      names.insert(text);
    }
  }
  return names;
}

// Waits for an Explorer window titled `title` (in any letter case: it shows the folder's name
// as the path spells it) that lists `items`, then closes it.
inline ::testing::AssertionResult ExplorerShowed(const std::wstring& title,
                                                 const std::set<std::wstring>& items) {
  const HWND explorer = testsupport::WaitForWindow(kExplorerClass);
  if (!explorer) return ::testing::AssertionFailure() << "no Explorer window";
  const std::wstring shown = testsupport::WindowText(explorer);
  if (::CompareStringOrdinal(shown.c_str(), -1, title.c_str(), -1, TRUE) != CSTR_EQUAL) {
    testsupport::RequestClose(explorer);
    return ::testing::AssertionFailure()
           << "the Explorer window is titled " << base::WideToUtf8(shown);
  }
  const bool listed = testsupport::WaitUntil([&] { return ExplorerItems(explorer) == items; });
  const size_t count = ExplorerItems(explorer).size();
  testsupport::RequestClose(explorer);
  if (!listed) return ::testing::AssertionFailure() << "it lists other items (" << count << ")";
  return ::testing::AssertionSuccess();
}

// Closes every Explorer window still open (after a failed expectation).
inline void CloseExplorerWindows() {
  for (int closed = 0; closed < 20; ++closed) {
    const HWND explorer = ::FindWindowW(kExplorerClass, nullptr);
    if (!explorer || !testsupport::RequestClose(explorer)) break;
  }
}

}  // namespace utilities_test
