#include "pages/plugin/install_archive.h"

#include <unzip.h>

#include <iowin32.h>  // after unzip.h: it needs zlib's declarations

#include <memory>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"
#include "environment/plugin_folders.h"
#include "pages/plugin/install_limits.h"
#include "pages/plugin/plugin_texts.h"
#include "pages/plugin/unzip_to_folder.h"

namespace plugin_page {

namespace {

constexpr int kIgnoreCase = 2;  // unzLocateFile's case sensitivity: Windows names ignore case

bool HoldsInstallMarker(const std::wstring& archivePath) {
  zlib_filefunc64_def wideFiles;
  fill_win32_filefunc64W(&wideFiles);
  const std::unique_ptr<void, int (*)(unzFile)> archive(
      unzOpen2_64(archivePath.c_str(), &wideFiles), &unzClose);
  if (!archive) return false;
  const std::string marker = base::WideToAnsi(environment::kPluginMarkerName);
  return unzLocateFile(archive.get(), marker.c_str(), kIgnoreCase) == UNZ_OK;
}

// Whatever its source, an archive over the bound is none this program installs.
bool IsWithinSizeBound(const std::wstring& archivePath) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(archivePath.c_str(), GetFileExInfoStandard, &data)) return false;
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return size <= MaxArchiveBytes();
}

// The folder as the user would type it, without the long-path prefix.
std::wstring Displayable(const std::wstring& path) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\", kUncPrefix = L"\\\\?\\UNC\\";
  const std::wstring_view view(path);
  if (view.substr(0, kUncPrefix.size()) == kUncPrefix) {
    return L"\\\\" + path.substr(kUncPrefix.size());
  }
  if (view.substr(0, kPrefix.size()) == kPrefix) return path.substr(kPrefix.size());
  return path;
}

}  // namespace

InstallOutcome InstallArchive(const std::wstring& archivePath, const std::wstring& pluginFolder) {
  InstallOutcome outcome;
  std::vector<std::wstring> made;
  try {
    made.reserve(16);
    if (IsWithinSizeBound(archivePath) && HoldsInstallMarker(archivePath) &&
        base::CreateFolderWithParents(pluginFolder, &made)) {
      const UnzipResult result = ExtractArchive(archivePath, pluginFolder, outcome.keptFolder);
      outcome.installed = result == UnzipResult::kDone;
    }
  } catch (...) {
    outcome.installed = false;  // memory ran out before anything was written
  }
  if (!outcome.installed && outcome.keptFolder.empty()) base::RemoveMadeFolders(made);
  return outcome;
}

std::wstring OutcomeMessage(const InstallOutcome& outcome) {
  if (outcome.installed) return texts::kInstalled;
  if (outcome.keptFolder.empty()) return texts::kInstallFailed;
  return std::wstring(texts::kRestoreFailed) + Displayable(outcome.keptFolder);
}

}  // namespace plugin_page
