#include "forms/form_object.h"

#include <commctrl.h>

#include <mutex>
#include <utility>
#include <vector>

#include "forms/dpi.h"
#include "forms/font_string.h"
#include "forms/owner_thread.h"
#include "forms/program_names.h"
#include "forms/scaling.h"

namespace forms {

namespace {

struct RegisteredClass {
  std::wstring name;
  HINSTANCE instance;
  ATOM atom;
};

std::vector<RegisteredClass>& ClassTable() {
  static std::vector<RegisteredClass> table;
  return table;
}

// Window classes belong to the process, whichever thread registers them.
std::mutex& ClassTableMutex() {
  static std::mutex mutex;
  return mutex;
}

int WindowsVersion() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                          : nullptr;
  if (!getVersion || getVersion(&info) != 0) return 0;
  return static_cast<int>(info.dwMajorVersion * 100 + info.dwMinorVersion);
}

}  // namespace

HICON LoadSharedIcon(HINSTANCE instance, const wchar_t* name, int size) {
  return static_cast<HICON>(::LoadImageW(instance, name, IMAGE_ICON, size, size, LR_SHARED));
}

FormObject::FormObject(std::wstring name, int startDpi)
    : instance(::GetModuleHandleW(nullptr)), className(std::move(name)) {
  if (startDpi > 0) {
    dpi = startDpi;
    startDpiGiven = true;
  } else if (IsProcessDpiAware()) {
    dpi = LogicalDpi().x;
  }
  scaleX = scaleY = FactorAt(dpi);
  fontHold_ = FontDpiHold(dpi);
  if (WindowsVersion() >= 600 && IsProcessDpiAware()) {
    defaultFontName = L"Segoe UI";
    defaultFontPoints = 9;
  } else {
    defaultFontName = L"Tahoma";
    defaultFontPoints = 8;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), 0x7FFF};
  ::InitCommonControlsEx(&controls);
}

FormObject::~FormObject() {
  if (accelerators) ::DestroyAcceleratorTable(accelerators);
  // While a window of the class still exists (this runs during the form's WM_DESTROY) the
  // class stays registered, and so does its entry.
  std::lock_guard lock(ClassTableMutex());
  if (!className.empty() && ::UnregisterClassW(className.c_str(), instance)) {
    auto& table = ClassTable();
    std::erase_if(table, [&](const RegisteredClass& c) {
      return c.name == className && c.instance == instance;
    });
  }
}

FormObject::PreviousDpi FormObject::ChangeDpi(int newDpi) {
  PreviousDpi previous{std::exchange(fontHold_, FontDpiHold(newDpi)), std::move(defaultFont)};
  dpi = newDpi;
  scaleX = scaleY = FactorAt(dpi);
  return previous;
}

void FormObject::ApplyDefaultFont() {
  if (!defaultFont) {
    // At the DPI the program started with, sized against the screen as always; at any other
    // DPI, as a start at that DPI would size it.
    const int logicalY = dpi == ScreenDpi().x ? LogicalDpi().y : dpi;
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(defaultFontPoints * dpi / logicalY, logicalY, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    wcsncpy_s(font.lfFaceName, LF_FACESIZE, defaultFontName.c_str(), _TRUNCATE);
    defaultFont.reset(::CreateFontIndirectW(&font));
  }
  if (window && defaultFont && OnOwnerThread(window)) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont.get()), FALSE);
  }
}

FormObject* FormObjectOf(HWND form) {
  if (!form || !OnOwnerThread(form)) return nullptr;
  return reinterpret_cast<FormObject*>(::GetWindowLongPtrW(form, 0));
}

ATOM RegisterFormClass(std::wstring& className, HINSTANCE instance, WNDPROC procedure,
                       bool withIcons) {
  std::lock_guard lock(ClassTableMutex());
  auto& table = ClassTable();
  static int registeredCount = 0;
  if (className.empty()) {
    className = L"QFWWindowClass:" + std::to_wstring(registeredCount);
  }
  for (const auto& entry : table) {
    if (entry.name == className && entry.instance == instance) return entry.atom;
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure ? procedure : ::DefWindowProcW;
  windowClass.cbWndExtra = sizeof(void*);
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className.c_str();
  // The title bar and the task bar take the class's icons when the window is made. Set on the
  // window afterwards (WM_SETICON), each icon would be converted for the display once more.
  if (const wchar_t* icon = GetProgramNames().icon; icon && withIcons) {
    windowClass.hIcon = LoadSharedIcon(instance, icon, 48);
    windowClass.hIconSm = LoadSharedIcon(instance, icon, 32);
  }
  ATOM atom = ::RegisterClassExW(&windowClass);
  if (!atom && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    atom = static_cast<ATOM>(::GetClassInfoExW(instance, className.c_str(), &existing));
  }
  if (atom) {
    table.push_back({className, instance, atom});
    ++registeredCount;
  }
  return atom;
}

}  // namespace forms
