// The folders an extraction will make, counted from the entry table before anything is made:
// an archive of few bytes can otherwise name millions of nested folders.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>

namespace install {

class FolderTally {
 public:
  // Adds the folders the entry at `relativePath` (components separated by "\") needs: its
  // parents, and itself when it is a `folder`. False when its path is deeper than kMaxPathDepth
  // or the folders together would be more than kMaxArchiveFolders (install_limits.h).
  bool Add(const std::wstring& relativePath, bool folder);
  size_t Count() const { return folders_.size(); }

 private:
  std::unordered_set<std::wstring> folders_;  // every folder counted, as its relative path
};

}  // namespace install
