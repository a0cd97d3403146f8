#include "install/unzip_to_folder.h"

#include <windows.h>

#include <unzip.h>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "base/file_system.h"
#include "base/unique_handle.h"
#include "install/archive_entry_name.h"
#include "install/archive_folders.h"
#include "install/archive_reader.h"
#include "install/install_limits.h"
#include "install/unzip_staging.h"
#include "install/zip_entry.h"

namespace install {

namespace {

constexpr size_t kChunkBytes = 64 * 1024;
constexpr uLong kStored = 0;
constexpr uLong kEncryptedFlag = 1;

struct Entry {
  std::wstring relativePath;
  bool folder;
};

// Whether the entry's data can be unpacked here: stored or deflated, and not encrypted. When not,
// `refusal` (if given) learns which entry and why.
bool CanExtract(const unz_file_info64& info, const std::wstring& name, EntryRefusal* refusal) {
  EntryRefusal::Reason reason = EntryRefusal::Reason::kNone;
  if (info.flag & kEncryptedFlag) {
    reason = EntryRefusal::Reason::kEncrypted;
  } else if (info.compression_method != kStored && info.compression_method != Z_DEFLATED) {
    reason = EntryRefusal::Reason::kUnsupportedMethod;
  }
  if (reason == EntryRefusal::Reason::kNone) return true;
  if (refusal) *refusal = {reason, name, info.compression_method};
  return false;
}

// Reads the whole central directory and checks every entry before anything is written. `total`
// receives what the file entries declare they expand to, together.
bool ReadEntryTable(unzFile archive, ZPOS64_T count, std::vector<Entry>& entries, uint64_t& total,
                    EntryRefusal* refusal) {
  if (count > kMaxArchiveEntries) return false;
  entries.reserve(static_cast<size_t>(count));
  total = 0;
  FolderTally folders;
  for (ZPOS64_T i = 0; i < count; ++i) {
    unz_file_info64 info;
    std::wstring name;
    if (!ReadCurrentEntry(archive, info, name) || !IsSafeEntryName(name)) return false;
    const bool folder = IsFolderEntryName(name);
    if (!folder && !CanExtract(info, name, refusal)) return false;
    if (!folder) {
      if (info.uncompressed_size > kMaxExtractedBytes - total) return false;
      total += info.uncompressed_size;
    }
    entries.push_back({ToRelativePath(name), folder});
    if (!folders.Add(entries.back().relativePath, folder)) return false;
    if (i + 1 < count && unzGoToNextFile(archive) != UNZ_OK) return false;
  }
  return true;
}

// Where an entry's content goes: a file, and the count of what it declared. Refuses, before
// writing them, the bytes that would take the entry past its declared size.
class EntrySink {
 public:
  EntrySink(HANDLE file, ZPOS64_T declared) : file_(file), left_(declared) {}

  bool Write(const char* bytes, size_t count) {
    if (count > left_) return false;
    DWORD written = 0;
    if (!::WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) ||
        written != count) {
      return false;
    }
    left_ -= count;
    crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(bytes), static_cast<uInt>(count));
    return true;
  }
  // Every declared byte came, and they are the ones the checksum names.
  bool Matches(uLong crc) const { return left_ == 0 && crc_ == crc; }

 private:
  HANDLE file_;
  ZPOS64_T left_;
  uLong crc_ = crc32(0, nullptr, 0);
};

// The current entry's raw data, a chunk at a time; 0 at its end, negative when it cannot be read.
int ReadRaw(unzFile archive, std::vector<char>& chunk) {
  return unzReadCurrentFile(archive, chunk.data(), static_cast<unsigned>(chunk.size()));
}

bool CopyStored(unzFile archive, EntrySink& sink, std::vector<char>& chunk) {
  for (int n; (n = ReadRaw(archive, chunk)) != 0;) {
    if (n < 0 || !sink.Write(chunk.data(), static_cast<size_t>(n))) return false;
  }
  return true;
}

// Inflates the entry here rather than in minizip, which would quietly stop at the declared size:
// an entry that makes more is refused as soon as it does.
bool Inflate(unzFile archive, EntrySink& sink, std::vector<char>& chunk, std::vector<char>& out) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  const std::unique_ptr<z_stream, int (*)(z_streamp)> owner(&stream, &inflateEnd);
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    const int n = ReadRaw(archive, chunk);
    if (n <= 0) return false;  // the data ended before its stream did
    stream.next_in = reinterpret_cast<Bytef*>(chunk.data());
    stream.avail_in = static_cast<uInt>(n);
    do {  // until this input is used up: the output then no longer fills the buffer
      stream.next_out = reinterpret_cast<Bytef*>(out.data());
      stream.avail_out = static_cast<uInt>(out.size());
      status = inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return false;
      if (!sink.Write(out.data(), out.size() - stream.avail_out)) return false;
    } while (stream.avail_out == 0 && status != Z_STREAM_END);
  }
  return true;
}

// Streams the current entry's data into a new file at `path`. Succeeds only when every byte
// was written, the length matches the directory and the checksum holds.
bool ExtractCurrentEntry(unzFile archive, const std::wstring& path, std::vector<char>& chunk,
                         std::vector<char>& out) {
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      unzOpenCurrentFile2(archive, nullptr, nullptr, 1) != UNZ_OK) {
    return false;
  }
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  EntrySink sink(file.get(), info.uncompressed_size);
  const bool written =
      file && (info.compression_method == kStored ? CopyStored(archive, sink, chunk)
                                                  : Inflate(archive, sink, chunk, out));
  const bool closed = unzCloseCurrentFile(archive) == UNZ_OK;
  return written && closed && sink.Matches(info.crc) && ::CloseHandle(file.release());
}

// A zip file with no entries is only its end record. minizip takes an end record found at
// offset 0 for none at all and refuses such a file, so it is recognised here.
bool IsEmptyZipFile(HANDLE file) {
  constexpr uint32_t kEndRecordBytes = 22;
  unsigned char record[kEndRecordBytes];
  uint64_t size = 0;
  if (!SizeOf(file, size) || !ReadAt(file, 0, record, kEndRecordBytes)) return false;
  auto u16 = [&](int at) { return record[at] | (record[at + 1] << 8); };
  const bool signature = record[0] == 'P' && record[1] == 'K' && record[2] == 5 && record[3] == 6;
  return signature && u16(8) == 0 && u16(10) == 0 && size == kEndRecordBytes + u16(20);
}

bool ExtractEntries(unzFile archive, const std::vector<Entry>& entries, const std::wstring& root) {
  if (unzGoToFirstFile(archive) != UNZ_OK) return false;
  std::vector<char> chunk(kChunkBytes), out(kChunkBytes);
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
      if (!ExtractCurrentEntry(archive, root + L"\\" + entry.relativePath, chunk, out)) {
        return false;
      }
    }
    if (i + 1 < entries.size() && unzGoToNextFile(archive) != UNZ_OK) return false;
  }
  return true;
}

bool WriteAddedFile(const AddedFile& added, const std::wstring& root) {
  std::unordered_set<std::wstring> made;
  const size_t slash = added.relativePath.rfind(L'\\');
  if (slash != std::wstring::npos &&
      !CreateFolderPath(root, added.relativePath.substr(0, slash), made)) {
    return false;
  }
  const std::wstring path = root + L"\\" + added.relativePath;
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.get(), added.bytes.data(), static_cast<DWORD>(added.bytes.size()),
                     &written, nullptr) &&
         written == added.bytes.size() && ::CloseHandle(file.release());
}

}  // namespace

UnzipResult ExtractArchive(HANDLE archiveFile, const std::wstring& destFolder,
                           std::wstring& keptFolder, const AddedFile* added,
                           EntryRefusal* refusal) {
  const std::wstring destination = base::ExtendedLengthPath(destFolder);
  const DWORD attributes = ::GetFileAttributesW(destination.c_str());
  if (destination.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return UnzipResult::kFailed;
  }
  auto failedUnless = [](bool ok) { return ok ? UnzipResult::kDone : UnzipResult::kFailed; };

  UniqueArchive archive = OpenArchive(archiveFile);
  if (!archive) return failedUnless(IsEmptyZipFile(archiveFile));
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(archive.get(), &global) != UNZ_OK) return UnzipResult::kFailed;
  std::vector<Entry> entries;
  uint64_t total = 0;
  if (!ReadEntryTable(archive.get(), global.number_entry, entries, total, refusal)) {
    return UnzipResult::kFailed;
  }
  if (entries.empty()) return UnzipResult::kDone;
  // Everything is staged beside the folder before anything is moved: all of it must fit.
  if (!LeavesFreeMargin(destination, total)) return UnzipResult::kFailed;

  StagingFolder staging(destination);
  if (!staging.Create() || !ExtractEntries(archive.get(), entries, staging.Content()) ||
      (added && !WriteAddedFile(*added, staging.Content()))) {
    return UnzipResult::kFailed;
  }
  if (staging.CommitIntoDestination()) return UnzipResult::kDone;
  if (!staging.RestoreFailed()) return UnzipResult::kFailed;
  keptFolder = staging.Root();
  return UnzipResult::kRestoreFailed;
}

bool UnzipToFolder(const std::wstring& archivePath, const std::wstring& destFolder) {
  try {
    // Readers may share it, writers may not: the bytes cannot change under the extraction.
    base::UniqueFile file(::CreateFileW(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring keptFolder;
    return file && ExtractArchive(file.get(), destFolder, keptFolder) == UnzipResult::kDone;
  } catch (...) {
    return false;  // memory for the entry table ran out: nothing was written
  }
}

}  // namespace install
