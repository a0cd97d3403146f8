#include "install/archive_folders.h"

#include <algorithm>

#include "install/install_limits.h"

namespace install {

bool FolderTally::Add(const std::wstring& relativePath, bool folder) {
  if (static_cast<uint64_t>(std::count(relativePath.begin(), relativePath.end(), L'\\')) + 1 >
      kMaxPathDepth) {
    return false;
  }
  // From the deepest folder up: once one is known, so are all above it. Names differing only in
  // letter case are counted twice, which errs on the safe side.
  size_t end = folder ? relativePath.size() : relativePath.rfind(L'\\');
  while (end != std::wstring::npos && end > 0) {
    if (!folders_.insert(relativePath.substr(0, end)).second) break;
    if (folders_.size() > kMaxArchiveFolders) return false;
    end = relativePath.rfind(L'\\', end - 1);
  }
  return true;
}

}  // namespace install
