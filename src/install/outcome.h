// How a step of the install road ended. Each outcome is one row of one table (outcome.cpp) that
// gives both what the window tells its user and the exit code a command run ends with, so a
// new outcome is added in exactly one place and both front ends know it.
#pragma once

#include <string>
#include <string_view>

#include "install/exit_codes.h"

namespace install {

enum class Outcome {
  kReady,            // the whole archive, genuine, is in the temporary archive: go on
  kInstalled,        // the plug-in folder holds the new plug-in
  kNotInstalled,     // a removal found no plug-in: nothing was touched
  kRemoved,          // the plug-in is gone from the folders asked for
  kNotCreated,       // the temporary archive could not be made
  kDownloadFailed,   // the network or the server failed, or the temporary folder's disk is full
  kFileUnreadable,   // the archive file: missing, a folder, locked by a writer, or a read failed
  kTooLarge,         // the archive file is over the archive bound
  kNotSaved,         // the temporary archive could not take the bytes
  kNotGenuine,       // not the publisher's archive (a build with a key only)
  kStopped,          // the caller stopped it (the program is closing)
  kInstallFailed,    // the extraction failed; the plug-in folder is as it was
  kRestoreFailed,    // the extraction failed and the earlier files could not all be put back
  kLeftBehind,       // a removal could not delete everything (a file in use, say)
  kBusy,             // another program installs or uninstalls
  kSketchUpRunning,  // SketchUp runs: plug-in files must not change under it
  kOlderVersion,     // the verified version offered is older than the one installed there
  // The system's proxy asks for credentials, which the program never has.
  kProxyAuthRequired,
};

// The exit code a command run ends with after `outcome` (exit_codes.h).
int ExitCodeOf(Outcome outcome);

// What the window tells its user; empty where the window says nothing.
std::wstring_view MessageOf(Outcome outcome);

// The words of the messages that other texts are built from or compared with.
namespace texts {
inline constexpr wchar_t kDownloadFailed[] = L"下载失败，请检查网络连接后重试！";
inline constexpr wchar_t kInstallFailed[] = L"安装失败，请尝试管理员身份运行本程序！";
inline constexpr wchar_t kCannotCreateArchive[] = L"创建文件失败，请尝试以管理员身份运行本程序！";
inline constexpr wchar_t kProxyAuthRequired[] = L"代理服务器要求身份验证，请联系网络管理员！";
inline constexpr wchar_t kBusyElsewhere[] = L"另一个翎图匠助手正在安装或卸载翎图匠，请稍后再试！";
}  // namespace texts

}  // namespace install
