// The one window procedure and the one control subclass procedure that serve every form,
// driven by the form's own tables: its routing table, its load event, the windowless controls
// it paints, and any extra handlers that are particular to a form. It also runs the work that
// other threads post to the form (post.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

#include "forms/records.h"

namespace forms {

enum class RouteSource { kCommand, kNotify };

// An event procedure receives the form, the array index of the control (-1 outside an array)
// and the message's lParam.
using EventProcedure = void (*)(HWND form, int32_t arrayIndex, LPARAM lParam);

// One row of a form's routing table: (control ID, notification code) -> event procedure.
struct Route {
  int32_t controlId;
  int32_t code;
  EventProcedure procedure;
  int32_t arrayIndex = -1;
  RouteSource source = RouteSource::kCommand;
};

// Notification codes the routing tables name.
inline constexpr int32_t kClicked = BN_CLICKED;              // 0
inline constexpr int32_t kSelectionChanged = LBN_SELCHANGE;  // 1

struct FormBehavior {
  FormDescriptor* descriptor = nullptr;
  std::span<const Route> routes;
  void (*load)(HWND form, LPARAM userValue) = nullptr;
  // Control IDs of the windowless controls, in painting order (empty: creation order).
  std::span<const int32_t> paintOrder;
  // A form's own handling of a message before the common handling; a value means "handled,
  // return this". Used for what is particular to one form (the main window's resizing).
  std::optional<LRESULT> (*extraFormMessage)(HWND form, UINT message, WPARAM wParam,
                                             LPARAM lParam) = nullptr;
  // Called for every message of the form's controls before the control's own procedure.
  void (*extraControlMessage)(HWND control, UINT message, WPARAM wParam, LPARAM lParam) = nullptr;
  // Called once the form and its controls have taken a new DPI (dpi_change.h), for what is
  // particular to the form; a top-level form has its new size by then.
  void (*dpiChanged)(HWND form, int dpi) = nullptr;
};

// No exception leaves these: a handler that fails drops its event, and a
// message whose common handling fails gets the system's default handling.
LRESULT FormWindowProc(const FormBehavior& behavior, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam) noexcept;
LRESULT ControlSubclassProc(const FormBehavior& behavior, HWND control, UINT message, WPARAM wParam,
                            LPARAM lParam) noexcept;

// The window procedure and the control subclass procedure of a form whose behaviour
// `Behavior()` returns: the only code a form needs to hand the system its procedures.
template <const FormBehavior& (*Behavior)()>
LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return FormWindowProc(Behavior(), window, message, wParam, lParam);
}

template <const FormBehavior& (*Behavior)()>
LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlSubclassProc(Behavior(), control, message, wParam, lParam);
}

}  // namespace forms
