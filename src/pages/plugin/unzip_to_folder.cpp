#include "pages/plugin/unzip_to_folder.h"

#include <windows.h>

#include <unzip.h>

#include <iowin32.h>  // after unzip.h: it needs zlib's declarations

#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "pages/plugin/archive_entry_name.h"
#include "pages/plugin/unzip_staging.h"

namespace plugin_page {

namespace {

constexpr uLong kNameBytes = 512;  // longer entry names are cut to their first 512 bytes
constexpr unsigned kChunkBytes = 8192;
constexpr uLong kStored = 0;
constexpr uLong kEncryptedFlag = 1;

struct ArchiveCloser {
  void operator()(void* archive) const { unzClose(archive); }
};
using UniqueArchive = std::unique_ptr<void, ArchiveCloser>;

struct Entry {
  std::wstring relativePath;
  bool folder;
};

// The current entry's name, as text in the ANSI code page, and its information record.
bool ReadCurrentEntry(unzFile archive, unz_file_info64& info, std::wstring& name) {
  char buffer[kNameBytes + 1] = {};
  info = {};
  if (unzGetCurrentFileInfo64(archive, &info, buffer, kNameBytes, nullptr, 0, nullptr, 0) !=
      UNZ_OK) {
    return false;
  }
  name = base::AnsiToWide(std::string_view(buffer, ::strnlen(buffer, kNameBytes)));
  return true;
}

// Reads the whole central directory and checks every entry before anything is written.
bool ReadEntryTable(unzFile archive, uLong count, std::vector<Entry>& entries) {
  entries.reserve(count);
  for (uLong i = 0; i < count; ++i) {
    unz_file_info64 info;
    std::wstring name;
    if (!ReadCurrentEntry(archive, info, name) || !IsSafeEntryName(name)) return false;
    const bool folder = IsFolderEntryName(name);
    if (!folder && ((info.compression_method != kStored && info.compression_method != Z_DEFLATED) ||
                    (info.flag & kEncryptedFlag))) {
      return false;
    }
    entries.push_back({ToRelativePath(name), folder});
    if (i + 1 < count && unzGoToNextFile(archive) != UNZ_OK) return false;
  }
  return true;
}

// Streams the current entry's data into a new file at `path`. Succeeds only when every byte
// was written, the length matches the directory and the checksum holds.
bool ExtractCurrentEntry(unzFile archive, const std::wstring& path, std::vector<char>& chunk) {
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      unzOpenCurrentFile(archive) != UNZ_OK) {
    return false;
  }
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  bool written = static_cast<bool>(file);
  ZPOS64_T total = 0;
  while (written) {
    const int n = unzReadCurrentFile(archive, chunk.data(), kChunkBytes);
    if (n <= 0) {
      written = n == 0;
      break;
    }
    DWORD count = 0;
    written = ::WriteFile(file.get(), chunk.data(), static_cast<DWORD>(n), &count, nullptr) &&
              count == static_cast<DWORD>(n);
    total += static_cast<ZPOS64_T>(n);
  }
  // Closing reports a checksum mismatch, but only once the announced length was read.
  const bool intact = unzCloseCurrentFile(archive) == UNZ_OK && total == info.uncompressed_size;
  return written && intact && ::CloseHandle(file.release());
}

// A zip file with no entries is only its end record. minizip takes an end record found at
// offset 0 for none at all and refuses such a file, so it is recognised here.
bool IsEmptyZipFile(const std::wstring& archivePath) {
  constexpr DWORD kEndRecordBytes = 22;
  base::UniqueFile file(::CreateFileW(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  unsigned char record[kEndRecordBytes];
  DWORD read = 0;
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) ||
      !::ReadFile(file.get(), record, kEndRecordBytes, &read, nullptr) || read != kEndRecordBytes) {
    return false;
  }
  auto u16 = [&](int at) { return record[at] | (record[at + 1] << 8); };
  const bool signature = record[0] == 'P' && record[1] == 'K' && record[2] == 5 && record[3] == 6;
  return signature && u16(8) == 0 && u16(10) == 0 && size.QuadPart == kEndRecordBytes + u16(20);
}

bool ExtractEntries(unzFile archive, const std::vector<Entry>& entries, const std::wstring& root) {
  if (unzGoToFirstFile(archive) != UNZ_OK) return false;
  std::vector<char> chunk(kChunkBytes);
  std::unordered_set<std::wstring> made;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    if (entry.folder) {
      if (!CreateFolderPath(root, entry.relativePath, made)) return false;
    } else {
      const size_t slash = entry.relativePath.rfind(L'\\');
      if (slash != std::wstring::npos &&
          !CreateFolderPath(root, entry.relativePath.substr(0, slash), made)) {
        return false;
      }
      if (!ExtractCurrentEntry(archive, root + L"\\" + entry.relativePath, chunk)) return false;
    }
    if (i + 1 < entries.size() && unzGoToNextFile(archive) != UNZ_OK) return false;
  }
  return true;
}

}  // namespace

UnzipResult ExtractArchive(const std::wstring& archivePath, const std::wstring& destFolder,
                           std::wstring& keptFolder) {
  const std::wstring destination = base::ExtendedLengthPath(destFolder);
  const DWORD attributes = ::GetFileAttributesW(destination.c_str());
  if (destination.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return UnzipResult::kFailed;
  }
  auto failedUnless = [](bool ok) { return ok ? UnzipResult::kDone : UnzipResult::kFailed; };

  zlib_filefunc64_def wideFiles;
  fill_win32_filefunc64W(&wideFiles);
  UniqueArchive archive(unzOpen2_64(archivePath.c_str(), &wideFiles));
  if (!archive) return failedUnless(IsEmptyZipFile(archivePath));
  unz_global_info global{};
  if (unzGetGlobalInfo(archive.get(), &global) != UNZ_OK) return UnzipResult::kFailed;
  std::vector<Entry> entries;
  if (!ReadEntryTable(archive.get(), global.number_entry, entries)) return UnzipResult::kFailed;
  if (entries.empty()) return UnzipResult::kDone;

  StagingFolder staging(destination);
  if (!staging.Create() || !ExtractEntries(archive.get(), entries, staging.Content())) {
    return UnzipResult::kFailed;
  }
  if (staging.CommitIntoDestination()) return UnzipResult::kDone;
  if (!staging.RestoreFailed()) return UnzipResult::kFailed;
  keptFolder = staging.Root();
  return UnzipResult::kRestoreFailed;
}

bool UnzipToFolder(const std::wstring& archivePath, const std::wstring& destFolder) {
  try {
    std::wstring keptFolder;
    return ExtractArchive(archivePath, destFolder, keptFolder) == UnzipResult::kDone;
  } catch (...) {
    return false;  // memory for the entry table ran out: nothing was written
  }
}

}  // namespace plugin_page
