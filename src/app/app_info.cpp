#include "app/app_info.h"

#include "forms/program_names.h"
#include "version.h"

namespace app {

AppInfo& TheAppInfo() {
  static AppInfo info;
  return info;
}

void SplitModulePath(std::wstring_view fullPath, std::wstring& folder, std::wstring& fileName) {
  const size_t last = fullPath.find_last_of(L":/\\");
  if (last == std::wstring_view::npos) {
    folder.clear();
    fileName = fullPath;
    return;
  }
  folder = fullPath.substr(0, last + 1);
  fileName = fullPath.substr(last + 1);
}

void FillAppInfo() {
  AppInfo& info = TheAppInfo();
  info.Instance = ::GetModuleHandleW(nullptr);
  info.FileDescription = L"翎图匠安装及更新";
  info.ProductName = kProgramTitle;
  info.FileVersion = {LINGTU_VERSION_MAJOR, LINGTU_VERSION_MINOR, LINGTU_VERSION_PATCH,
                      LINGTU_VERSION_TWEAK};
  info.ProductVersion = info.FileVersion;
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  SplitModulePath(path, info.Path, info.ExeName);
  forms::SetProgramNames({.title = kProgramTitle, .icon = kProgramIcon});
}

}  // namespace app
