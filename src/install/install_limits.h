// How much an installation may take, so that nothing a server or an archive sends can fill the
// memory or the disk: the bounds, and the free space they leave on a volume. The download, the
// reading of an archive and its extraction all hold to them, wherever the archive came from.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace install {

// The archive itself: fifty times today's plug-in, and small enough that a temporary copy is
// never a burden.
inline constexpr uint64_t kMaxArchiveBytes = uint64_t{1} << 30;
// What all entries of an archive together may expand to.
inline constexpr uint64_t kMaxExtractedBytes = uint64_t{4} << 30;
// Entries of one archive: as many as a zip file without its 64-bit extension can hold. It bounds
// the memory the entry table takes and the files one installation makes.
inline constexpr uint64_t kMaxArchiveEntries = 65535;
// Folders one extraction makes, those named by folder entries and the parents of every entry
// alike: as many as there may be entries, which a plug-in of one folder per entry would need at
// most. It bounds the folders made and the memory that tracks them.
inline constexpr uint64_t kMaxArchiveFolders = 65535;
// Names in one entry's path, its own included. The plug-in nests a few levels; far deeper paths
// only multiply the folders an entry makes.
inline constexpr uint64_t kMaxPathDepth = 32;
// What a volume keeps free after an archive has been written to it or extracted onto it. A fixed
// amount rather than a share of the volume, so that a large disk with room to spare is not refused;
// above the 200 MB at which Windows itself warns that space is running out, so that an
// installation never brings the system there.
inline constexpr uint64_t kFreeSpaceMargin = uint64_t{256} << 20;

// kMaxArchiveBytes. A test build lowers it to LINGTU_TEST_MAX_ARCHIVE_BYTES when that is set,
// so that a test sees the bound hold without writing a gigabyte.
uint64_t MaxArchiveBytes();

// Whether `bytes` more can be written into `folder` and still leave kFreeSpaceMargin free on its
// volume, as far as this user may use it. False when the free space cannot be read.
bool LeavesFreeMargin(const std::wstring& folder, uint64_t bytes);

// Keeps a file that grows in `folder` within LeavesFreeMargin, asking the system at the start and
// again each time the file has grown by a step, rather than at every chunk.
class FreeSpaceWatch {
 public:
  FreeSpaceWatch() = default;
  explicit FreeSpaceWatch(std::wstring folder) : folder_(std::move(folder)) {}

  // Whether `length` more bytes may follow the `written` ones. `expected` is the size the file is
  // announced to reach (0: unknown): the space for all of it is asked for at once.
  bool Allows(uint64_t written, uint64_t length, uint64_t expected);
  // The file starts again from nothing: the next Allows asks the volume afresh.
  void Restart() { grantedUntil_ = 0; }

 private:
  std::wstring folder_;
  uint64_t grantedUntil_ = 0;  // the size the last answer allowed
};

}  // namespace install
