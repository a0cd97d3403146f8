// What the plug-in page tells the user, word for word.
#pragma once

#include "pages/version_list.h"

namespace plugin_page::texts {

inline constexpr wchar_t kDownloadRunning[] = L"正在下载文件，请等待操作完成！";
using pages::texts::kNoSketchUpListed;
using pages::texts::kNoVersionSelected;
inline constexpr wchar_t kQuitSketchUpFirst[] = L"请先退出草图大师后再操作！";
inline constexpr wchar_t kOverwriteQuestion[] = L"检测到当前版本已安装翎图匠，需要覆盖安装吗？";
inline constexpr wchar_t kCannotCreateArchive[] = L"创建文件失败，请尝试以管理员身份运行本程序！";
inline constexpr wchar_t kDownloadFailed[] = L"下载失败，请检查网络连接后重试！";
inline constexpr wchar_t kInstalled[] = L"安装成功！";
inline constexpr wchar_t kInstallFailed[] = L"安装失败，请尝试管理员身份运行本程序！";
inline constexpr wchar_t kArchiveNotGenuine[] = L"安装包校验失败，已停止安装！";
// Followed by the folder that holds the earlier plug-in files.
inline constexpr wchar_t kRestoreFailed[] =
    L"安装失败，原有插件文件未能全部恢复，请从以下文件夹取回：\n";
inline constexpr wchar_t kNoSketchUpProgram[] = L"未检测到草图大师程序，请手动运行！";
// An archive file dropped onto the window: it cannot be read, or it is not one .rbz file.
inline constexpr wchar_t kCannotReadArchiveFile[] = L"读取安装包文件失败，已停止安装！";
inline constexpr wchar_t kDropOneArchive[] = L"请拖入单个 .rbz 格式的翎图匠安装包！";

// Label1 while a download (or the reading of a dropped file) or an installation runs.
inline constexpr wchar_t kDownloading[] = L"正在下载。。。";
inline constexpr wchar_t kReadingFile[] = L"正在读取。。。";
inline constexpr wchar_t kInstalling[] = L"开始安装。。。";

}  // namespace plugin_page::texts
