#include "forms/list_box.h"

#include "forms/owner_thread.h"

namespace forms::list_box {

namespace {
// A call from a thread that does not own the list is reported by the name of Send's caller.
LRESULT Send(const ControlSlot& list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
             const char* caller = __builtin_FUNCTION()) {
  if (!list.window || !OnOwnerThread(list.window, caller)) return LB_ERR;
  return ::SendMessageW(list.window, message, wParam, lParam);
}
}  // namespace

void Clear(const ControlSlot& list) {
  Send(list, LB_RESETCONTENT);
}

int AddItem(const ControlSlot& list, std::wstring_view text, int64_t itemData) {
  const std::wstring copy(text);
  const auto index =
      static_cast<int>(Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
  if (index >= 0 && itemData != 0) SetItemData(list, index, itemData);
  return index;
}

int Count(const ControlSlot& list) {
  const LRESULT count = Send(list, LB_GETCOUNT);
  return count < 0 ? 0 : static_cast<int>(count);
}

int SelectedIndex(const ControlSlot& list) {
  const LRESULT index = Send(list, LB_GETCURSEL);
  return index < 0 ? -1 : static_cast<int>(index);
}

void Select(const ControlSlot& list, int index) {
  Send(list, LB_SETCURSEL, static_cast<WPARAM>(index));
}

int64_t ItemData(const ControlSlot& list, int index) {
  const LRESULT data = Send(list, LB_GETITEMDATA, static_cast<WPARAM>(index));
  return data == LB_ERR ? 0 : static_cast<int64_t>(data);
}

void SetItemData(const ControlSlot& list, int index, int64_t value) {
  Send(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

std::wstring ItemText(const ControlSlot& list, int index) {
  if (!list.window || !::IsWindow(list.window) || index < 0 || !OnOwnerThread(list.window)) {
    return {};
  }
  const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      Send(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
  return text;
}

std::wstring SelectedText(const ControlSlot& list) {
  return ItemText(list, SelectedIndex(list));
}

void SetItemHeight(const ControlSlot& list, int pixels) {
  Send(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(pixels, 0));
}

}  // namespace forms::list_box
