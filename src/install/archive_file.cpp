#include "install/archive_file.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "base/unique_handle.h"

namespace install {

namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

}  // namespace

Outcome ReadArchiveFile(const std::wstring& source, ArchiveIntake& intake,
                        const ReadProgress& progress) {
  // Readers may share it, writers may not: the bytes cannot change under the copy.
  base::UniqueFile file(::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || ::GetFileType(file.get()) != FILE_TYPE_DISK) {
    return Outcome::kFileUnreadable;
  }
  const auto total = static_cast<uint64_t>(size.QuadPart);
  if (total > MaxArchiveBytes()) return Outcome::kTooLarge;

  std::vector<char> buffer(kChunkBytes);
  uint64_t read = 0;
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(file.get(), buffer.data(), kChunkBytes, &count, nullptr)) {
      return Outcome::kFileUnreadable;
    }
    if (count == 0) break;
    // The size was taken first and nobody writes the file: more is no archive of that size.
    if (count > total - read) return Outcome::kFileUnreadable;
    if (!intake.Take(std::string_view(buffer.data(), count), total)) {
      return Outcome::kNotSaved;
    }
    read += count;
    if (progress && !progress(read, total)) return Outcome::kStopped;
  }
  return read == total ? Outcome::kReady : Outcome::kFileUnreadable;
}

bool IsOneArchiveFile(const std::vector<std::wstring>& paths) {
  if (paths.size() != 1) return false;
  constexpr std::wstring_view kExtension = L".rbz";
  const std::wstring& path = paths.front();
  if (path.size() <= kExtension.size() ||
      ::CompareStringOrdinal(path.c_str() + path.size() - kExtension.size(),
                             static_cast<int>(kExtension.size()), kExtension.data(),
                             static_cast<int>(kExtension.size()), TRUE) != CSTR_EQUAL) {
    return false;
  }
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring SignatureFileOf(const std::wstring& archive) {
  return archive + L".sig";
}

}  // namespace install
