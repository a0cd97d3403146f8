// The file-system side of a safe extraction: entries are written into a hidden staging
// folder first and moved into the destination only when all of them were written, so that a
// failed extraction leaves the destination exactly as it was.
#pragma once

#include <string>
#include <unordered_set>

namespace install {

// Creates every missing folder of `relative` (components separated by "\") below the existing
// folder `root`. False when a component exists as a file or cannot be created. `made` caches
// the relative folders already known to exist.
bool CreateFolderPath(const std::wstring& root, const std::wstring& relative,
                      std::unordered_set<std::wstring>& made);

// A staging folder inside the destination (so that moving out of it is a rename on the same
// volume and needs no right the extraction would not need anyway). Whatever is left in it is
// deleted when the object goes, unless a failed commit could not be undone.
class StagingFolder {
 public:
  // `destination`: the extended-length path of an existing folder.
  explicit StagingFolder(std::wstring destination);
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;
  ~StagingFolder();

  bool Create();
  // Where the entries are written.
  const std::wstring& Content() const { return content_; }

  // Moves every staged file and folder into the destination: missing ones are moved as they
  // are, existing folders are merged, existing files are replaced. Files of the destination
  // that were not staged stay. Refuses (changing nothing) when a staged file meets a folder or
  // a read-only file, or a staged folder meets a file; when a move fails midway, every move made
  // so far is undone.
  bool CommitIntoDestination();

  // The undoing after a failed commit left something out of place. The staging folder is then
  // kept, since it may hold the only copy of replaced files ("old-N"); Root() names it.
  bool RestoreFailed() const { return restoreFailed_; }
  const std::wstring& Root() const { return root_; }

 private:
  std::wstring destination_;
  std::wstring root_;
  std::wstring content_;
  bool restoreFailed_ = false;
};

}  // namespace install
