// Reading a plug-in archive from a file (dropped onto the window, or named on the command line)
// into an intake, as a download would bring it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "install/archive_intake.h"
#include "install/outcome.h"

namespace install {

// Called after each chunk with the bytes read so far and the file's size; false stops.
using ReadProgress = std::function<bool(uint64_t read, uint64_t size)>;

// Copies the file at `source` into `intake` (open) in chunks. Nobody may write the file while it
// is read, so the copy is the file as it was at one moment; the intake's hash is of that copy.
// kReady when every byte is in the intake; kFileUnreadable (missing, a folder, locked by a
// writer, a read failed), kTooLarge (over the archive bound, refused before a byte was read),
// kNotSaved (the intake could not take it) or kStopped (`progress` said stop) otherwise.
Outcome ReadArchiveFile(const std::wstring& source, ArchiveIntake& intake,
                        const ReadProgress& progress = {});

// Whether `paths`, what was dropped onto the window, is one archive file: one path, ending in
// ".rbz" in any letter case, that is no folder.
bool IsOneArchiveFile(const std::vector<std::wstring>& paths);

// Where the publisher's signature of an archive file lies: the same name followed by ".sig".
std::wstring SignatureFileOf(const std::wstring& archive);

}  // namespace install
