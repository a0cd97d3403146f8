// What the plug-in page tells the user, word for word.
#pragma once

#include "install/outcome.h"
#include "pages/version_list.h"

namespace plugin_page::texts {

inline constexpr wchar_t kDownloadRunning[] = L"正在下载文件，请等待操作完成！";
using pages::texts::kNoSketchUpListed;
using pages::texts::kNoVersionSelected;
inline constexpr wchar_t kOverwriteQuestion[] = L"检测到当前版本已安装翎图匠，需要覆盖安装吗？";
// What the install road ends with is told in its own words (install/outcome.h).
using install::texts::kCannotCreateArchive;
using install::texts::kDownloadFailed;
using install::texts::kInstallFailed;
inline constexpr wchar_t kNoSketchUpProgram[] = L"未检测到草图大师程序，请手动运行！";
// What was dropped onto the window is not one .rbz file.
inline constexpr wchar_t kDropOneArchive[] = L"请拖入单个 .rbz 格式的翎图匠安装包！";

// Label1 while a download (or the reading of a dropped file) or an installation runs.
inline constexpr wchar_t kDownloading[] = L"正在下载。。。";
inline constexpr wchar_t kReadingFile[] = L"正在读取。。。";
inline constexpr wchar_t kInstalling[] = L"开始安装。。。";

}  // namespace plugin_page::texts
