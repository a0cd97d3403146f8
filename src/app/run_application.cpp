#include "app/run_application.h"

#include <gdiplus.h>

#include "app/form1.h"
#include "app/single_instance.h"

namespace app {

int RunApplication(HINSTANCE) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  if (EnsureSingleInstance() != 0) return -1;  // the process ends right after
  CreateForm1(nullptr, 1, 0);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}

}  // namespace app
