#include "environment/login_user.h"

#include <windows.h>

namespace environment {

std::wstring GetLoginUserName() {
  wchar_t name[256] = {};
  DWORD size = 255;
  if (!::GetUserNameW(name, &size)) return {};
  return name;
}

bool ContainsChinese(std::wstring_view text) {
  for (wchar_t unit : text) {
    if (static_cast<unsigned>(unit) > 0xFF) return true;
  }
  return false;
}

}  // namespace environment
