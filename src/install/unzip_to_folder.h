// Extraction of the downloaded plug-in archive (a zip file) into a plug-in folder.
#pragma once

#include <windows.h>

#include <string>

namespace install {

// Writes every entry of the zip archive at `archivePath` (opened once, for reading by others
// only) into the existing folder `destFolder`, keeping the entries' relative paths; entry names
// are read as the archive means them (DecodeEntryName: UTF-8 where it says so, else GBK).
// Same-named files are replaced, other files of the folder stay.
//
// All or nothing: the result is false, and the folder is left exactly as it was, when the
// archive cannot be read, an entry name would lead outside the folder or to a device, an entry
// uses a method other than stored or deflate, its data is corrupt (checksum or length), a file
// or folder cannot be created or written, or a staged file would replace a read-only one. An
// archive without entries gives true and changes nothing.
//
// Nothing an archive holds can fill the disk (install_limits.h): before anything is written, the
// entries may number at most kMaxArchiveEntries and declare at most kMaxExtractedBytes together,
// the folders they make (folder entries and every entry's parents) may number at most
// kMaxArchiveFolders, no entry's path may be deeper than kMaxPathDepth, and the folder's volume
// must keep kFreeSpaceMargin free after all of that; while writing, an entry that makes more bytes
// than it declared fails as soon as it does, the excess unwritten.
bool UnzipToFolder(const std::wstring& archivePath, const std::wstring& destFolder);

// A file the program adds to what it extracts, written into the staging folder after the entries
// (replacing an entry of that name), so that it moves in with them or not at all.
struct AddedFile {
  std::wstring relativePath;  // components separated by "\"
  std::string bytes;
};

enum class UnzipResult {
  kDone,
  kFailed,         // the folder is as it was
  kRestoreFailed,  // a failed move could not be fully undone: see StagingFolder
};
// An entry whose data this program cannot unpack, found before anything is written, so that a
// front end can name it and say why.
struct EntryRefusal {
  enum class Reason { kNone, kUnsupportedMethod, kEncrypted };
  Reason reason = Reason::kNone;
  std::wstring entry;        // its name as the archive gives it
  unsigned long method = 0;  // its compression method number
};

// As UnzipToFolder for the archive in `archive` (a file handle with read access, read at
// explicit offsets and left open), telling a failure whose undoing failed too; `keptFolder`
// then names the folder holding what could not be put back. Throws only when memory runs out;
// the folder is then as it was. `added`, when given, is staged with the entries (an archive
// without entries installs nothing, so it is not written then either). An entry refused for
// its method or its encryption is described in `refusal` when one is given.
UnzipResult ExtractArchive(HANDLE archive, const std::wstring& destFolder, std::wstring& keptFolder,
                           const AddedFile* added = nullptr, EntryRefusal* refusal = nullptr);

}  // namespace install
