// The utilities page (second tab): folder shortcuts, uninstall and the environment check.
#pragma once

#include <windows.h>

#include "forms/records.h"

namespace utilities_page {

// Slots of the page's controls, in design (creation) order. The eight buttons form the
// control array Command1; the comment gives each one's index.
enum Slot {
  kConfigFolder1,  // Command1(2) "配置目录1"
  kPluginFolder2,  // Command1(5) "插件目录2"
  kPluginFolder1,  // Command1(4) "插件目录1"
  kUninstall,      // Command1(0) "卸载翎图匠"
  kFrame2,
  kFrame1,
  kList1,
  kPluginOwnFolder,   // Command1(1) "翎图匠目录"
  kConfigFolder2,     // Command1(3) "配置目录2"
  kSketchUpFolder,    // Command1(6) "草图目录"
  kEnvironmentCheck,  // Command1(7) "环境检测"
  kSlotCount
};

// The page's caption, also its tab's.
inline constexpr wchar_t kPageCaption[] = L"实用工具";

forms::FormDescriptor& Form3();

HWND CreateForm3(HWND parent, LPARAM userValue);

}  // namespace utilities_page
