// The per-window object of a form: module, default font, DPI, scale factors and its window
// class. Owned by the form's window (first window-extra slot) and destroyed with it.
#pragma once

#include <windows.h>

#include <string>

#include "base/unique_handle.h"
#include "forms/font_string.h"

namespace forms {

class FormObject {
 public:
  // `startDpi` 0: the window starts at the DPI of the monitor it opens on (a top-level form) or
  // at its parent form's (a child form); otherwise at the DPI given.
  explicit FormObject(std::wstring className, int startDpi = 0);
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
  bool startDpiGiven = false;

  // Creates the default font (when none exists yet) and sets it on the window.
  void ApplyDefaultFont();

  // What a form leaves behind when it changes its DPI: the claim on the old DPI's fonts and its
  // old default font. Its controls may use them until they have the new ones.
  struct PreviousDpi {
    FontDpiHold fonts;
    base::UniqueFont defaultFont;
  };
  // Takes the new DPI and its factors; the default font is made again by ApplyDefaultFont.
  PreviousDpi ChangeDpi(int newDpi);

 private:
  FontDpiHold fontHold_;
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
