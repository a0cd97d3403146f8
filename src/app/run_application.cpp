#include "app/run_application.h"

#include <gdiplus.h>

#include "app/form1.h"
#include "app/single_instance.h"

namespace app {

int RunApplication(HINSTANCE, const std::wstring& handedFile) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  if (EnsureSingleInstance(handedFile) != 0) return -1;  // the process ends right after
  if (!handedFile.empty()) HandFileToForm1(handedFile);
  CreateForm1(nullptr, 1, 0);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}

}  // namespace app
