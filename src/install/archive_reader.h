// minizip reading an archive through a file handle that is already open, rather than by a name:
// what is read is what that handle holds, whatever happens to the name meanwhile.
#pragma once

#include <windows.h>

#include <unzip.h>

#include <cstdint>
#include <memory>

namespace install {

struct ArchiveCloser {
  void operator()(void* archive) const { unzClose(archive); }
};
using UniqueArchive = std::unique_ptr<void, ArchiveCloser>;

// The zip archive in `file` (opened with read access), read at explicit offsets so that the
// handle's own file pointer does not matter; the handle stays open and owned by the caller and
// must outlive the result. Empty when minizip finds no archive there.
UniqueArchive OpenArchive(HANDLE file);

// `count` bytes of `file` from `offset`: false when fewer are there or the read fails.
bool ReadAt(HANDLE file, uint64_t offset, void* bytes, uint32_t count);

// The file's size; false when it cannot be read.
bool SizeOf(HANDLE file, uint64_t& size);

}  // namespace install
