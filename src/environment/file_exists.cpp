#include "environment/file_exists.h"

#include <windows.h>

namespace environment {

bool FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace environment
