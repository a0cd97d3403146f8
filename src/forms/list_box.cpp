#include "forms/list_box.h"

#include "forms/owner_thread.h"

namespace forms::list_box {

namespace {
// `function` names the operation in the report of a call from a thread that does not own the list.
LRESULT Send(const char* function, const ControlSlot& list, UINT message, WPARAM wParam = 0,
             LPARAM lParam = 0) {
  if (!list.window || !OnOwnerThread(list.window, function)) return LB_ERR;
  return ::SendMessageW(list.window, message, wParam, lParam);
}
}  // namespace

void Clear(const ControlSlot& list) {
  Send(__func__, list, LB_RESETCONTENT);
}

int AddItem(const ControlSlot& list, std::wstring_view text, int64_t itemData) {
  const std::wstring copy(text);
  const auto index = static_cast<int>(
      Send(__func__, list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
  if (index >= 0 && itemData != 0) SetItemData(list, index, itemData);
  return index;
}

int Count(const ControlSlot& list) {
  const LRESULT count = Send(__func__, list, LB_GETCOUNT);
  return count < 0 ? 0 : static_cast<int>(count);
}

int SelectedIndex(const ControlSlot& list) {
  const LRESULT index = Send(__func__, list, LB_GETCURSEL);
  return index < 0 ? -1 : static_cast<int>(index);
}

void Select(const ControlSlot& list, int index) {
  Send(__func__, list, LB_SETCURSEL, static_cast<WPARAM>(index));
}

int64_t ItemData(const ControlSlot& list, int index) {
  const LRESULT data = Send(__func__, list, LB_GETITEMDATA, static_cast<WPARAM>(index));
  return data == LB_ERR ? 0 : static_cast<int64_t>(data);
}

void SetItemData(const ControlSlot& list, int index, int64_t value) {
  Send(__func__, list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

std::wstring ItemText(const ControlSlot& list, int index) {
  if (!list.window || !::IsWindow(list.window) || index < 0 ||
      !OnOwnerThread(list.window, __func__)) {
    return {};
  }
  const LRESULT length = Send(__func__, list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = Send(__func__, list, LB_GETTEXT, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
  return text;
}

std::wstring SelectedText(const ControlSlot& list) {
  return ItemText(list, SelectedIndex(list));
}

void SetItemHeight(const ControlSlot& list, int pixels) {
  Send(__func__, list, LB_SETITEMHEIGHT, 0, MAKELPARAM(pixels, 0));
}

}  // namespace forms::list_box
