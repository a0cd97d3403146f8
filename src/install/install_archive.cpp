#include "install/install_archive.h"

#include <windows.h>

#include <unzip.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_process.h"
#include "install/archive_reader.h"
#include "install/install_limits.h"
#include "install/installed_version.h"
#include "install/unzip_to_folder.h"
#include "install/zip_entry.h"

namespace install {

namespace {

// The marker is looked for among the names as the extraction reads them, with letter case
// ignored as Windows ignores it.
bool HoldsInstallMarker(HANDLE file) {
  const UniqueArchive archive = OpenArchive(file);
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
bool IsWithinSizeBound(HANDLE file) {
  uint64_t size = 0;
  return SizeOf(file, size) && size <= MaxArchiveBytes();
}

}  // namespace

InstallOutcome InstallArchive(const ArchiveIntake& intake, const std::wstring& pluginFolder,
                              const OfferedVersion& offered) {
  InstallOutcome outcome;
  // Looked for right before the folder changes, however long the archive took to come in:
  // SketchUp's plug-in must not change under it.
  if (environment::IsSketchUpRunning()) {
    outcome.outcome = Outcome::kSketchUpRunning;
    return outcome;
  }
  const HANDLE archive = intake.File();
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
    if (archive != INVALID_HANDLE_VALUE && IsWithinSizeBound(archive) &&
        HoldsInstallMarker(archive) && base::CreateFolderWithParents(pluginFolder, &made)) {
      const UnzipResult result = ExtractArchive(archive, pluginFolder, outcome.keptFolder,
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
