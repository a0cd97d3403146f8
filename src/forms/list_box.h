// The list-box operations the pages use, on the list's own thread only (owner_thread.h).
// Indexes are zero-based; -1 means none.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/records.h"

namespace forms::list_box {

void Clear(const ControlSlot& list);
// Appends the text; stores the item data when it is not 0. Returns the new item's index.
int AddItem(const ControlSlot& list, std::wstring_view text, int64_t itemData = 0);
int Count(const ControlSlot& list);
int SelectedIndex(const ControlSlot& list);
// Selects the item; raises no selection-change notification.
void Select(const ControlSlot& list, int index);
int64_t ItemData(const ControlSlot& list, int index);
void SetItemData(const ControlSlot& list, int index, int64_t value);
// Empty when the window does not exist or the index is invalid.
std::wstring ItemText(const ControlSlot& list, int index);
// Empty when nothing is selected.
std::wstring SelectedText(const ControlSlot& list);
void SetItemHeight(const ControlSlot& list, int pixels);

}  // namespace forms::list_box
