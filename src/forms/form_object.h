// The per-window object of a form: module, default font, DPI, scale factors and its window
// class. Owned by the form's window (first window-extra slot) and destroyed with it.
#pragma once

#include <windows.h>

#include <string>

#include "base/unique_handle.h"

namespace forms {

class FormObject {
 public:
  explicit FormObject(std::wstring className);
  ~FormObject();
  FormObject(const FormObject&) = delete;
  FormObject& operator=(const FormObject&) = delete;

  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  base::UniqueFont defaultFont;
  HACCEL accelerators = nullptr;  // none in this program
  int dpi = 96;
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  ATOM classAtom = 0;
  std::wstring className;
  int defaultFontPoints = 0;
  std::wstring defaultFontName;

  // Creates the default font (when none exists yet) and sets it on the window.
  void ApplyDefaultFont();
};

// The FormObject stored in a form window's extra slot, or none.
FormObject* FormObjectOf(HWND form);

// An icon resource of `instance` in the given size; shared icons belong to the system.
HICON LoadSharedIcon(HINSTANCE instance, const wchar_t* name, int size);

// Registers the class (once per name and module) and returns its atom. An empty name gets a
// generated one. `procedure` may be null for the system default procedure; a class for framed
// windows carries the program's icons (program_names.h), a class for child windows none.
ATOM RegisterFormClass(std::wstring& className, HINSTANCE instance, WNDPROC procedure,
                       bool withIcons = false);

}  // namespace forms
