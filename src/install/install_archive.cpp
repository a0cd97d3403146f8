#include "install/install_archive.h"

#include <windows.h>

#include <unzip.h>

#include <iowin32.h>  // after unzip.h: it needs zlib's declarations

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "environment/plugin_folders.h"
#include "install/install_limits.h"
#include "install/installed_version.h"
#include "install/unzip_to_folder.h"
#include "install/zip_entry.h"

namespace install {

namespace {

// The marker is looked for among the names as the extraction reads them, with letter case
// ignored as Windows ignores it.
bool HoldsInstallMarker(const std::wstring& archivePath) {
  zlib_filefunc64_def wideFiles;
  fill_win32_filefunc64W(&wideFiles);
  const std::unique_ptr<void, int (*)(unzFile)> archive(
      unzOpen2_64(archivePath.c_str(), &wideFiles), &unzClose);
  if (!archive) return false;
  const std::wstring_view marker = environment::kPluginMarkerName;
  int status = unzGoToFirstFile(archive.get());
  for (uint64_t i = 0; status == UNZ_OK && i < kMaxArchiveEntries; ++i) {
    unz_file_info64 info;
    std::wstring name;
    if (!ReadCurrentEntry(archive.get(), info, name)) return false;
    if (::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), marker.data(),
                               static_cast<int>(marker.size()), TRUE) == CSTR_EQUAL) {
      return true;
    }
    status = unzGoToNextFile(archive.get());
  }
  return false;
}

// Whatever its source, an archive over the bound is none this program installs.
bool IsWithinSizeBound(const std::wstring& archivePath) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(archivePath.c_str(), GetFileExInfoStandard, &data)) return false;
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return size <= MaxArchiveBytes();
}

}  // namespace

InstallOutcome InstallArchive(const std::wstring& archivePath, const std::wstring& pluginFolder,
                              const OfferedVersion& offered) {
  InstallOutcome outcome;
  std::vector<std::wstring> made;
  try {
    made.reserve(16);
    if (!offered.allowDowngrade &&
        IsOlderThanInstalled(offered.verified, ReadInstalledVersion(pluginFolder))) {
      outcome.outcome = Outcome::kOlderVersion;
      return outcome;
    }
    const AddedFile record{kInstalledVersionFile, InstalledVersionBytes(offered.verified)};
    const bool verified = !offered.verified.empty();
    if (IsWithinSizeBound(archivePath) && HoldsInstallMarker(archivePath) &&
        base::CreateFolderWithParents(pluginFolder, &made)) {
      const UnzipResult result = ExtractArchive(archivePath, pluginFolder, outcome.keptFolder,
                                                verified ? &record : nullptr, &outcome.refusal);
      if (result == UnzipResult::kDone) outcome.outcome = Outcome::kInstalled;
    }
    // A version nobody verified leaves no record: whatever the folder remembered (or the archive
    // brought under that name) is no longer what is installed. Should the deletion fail, the
    // earlier record stays, which can only refuse more, never less.
    if (outcome.Installed() && !verified) {
      ::DeleteFileW(base::ExtendedLengthPath(pluginFolder + L"\\" + kInstalledVersionFile).c_str());
    }
  } catch (...) {
    outcome.outcome = Outcome::kInstallFailed;  // memory ran out before anything was written
  }
  if (!outcome.keptFolder.empty()) {
    outcome.outcome = Outcome::kRestoreFailed;
  } else if (!outcome.Installed()) {
    base::RemoveMadeFolders(made);
  }
  return outcome;
}

std::wstring DisplayableFolder(const std::wstring& path) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\", kUncPrefix = L"\\\\?\\UNC\\";
  const std::wstring_view view(path);
  if (view.substr(0, kUncPrefix.size()) == kUncPrefix) {
    return L"\\\\" + path.substr(kUncPrefix.size());
  }
  if (view.substr(0, kPrefix.size()) == kPrefix) return path.substr(kPrefix.size());
  return path;
}

std::wstring OutcomeMessage(const InstallOutcome& outcome) {
  std::wstring text(MessageOf(outcome.outcome));
  if (outcome.outcome == Outcome::kRestoreFailed) text += DisplayableFolder(outcome.keptFolder);
  return text;
}

}  // namespace install
