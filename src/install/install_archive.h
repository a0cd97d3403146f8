// Installing a downloaded plug-in archive into a plug-in folder, all or nothing.
#pragma once

#include <string>

#include "install/outcome.h"
#include "install/unzip_to_folder.h"

namespace install {

struct InstallOutcome {
  Outcome outcome = Outcome::kInstallFailed;  // kInstalled, kInstallFailed or kRestoreFailed
  // Only for kRestoreFailed: where the earlier files are.
  std::wstring keptFolder;
  // For kInstallFailed: the entry the extraction could not unpack, if that was the cause. The
  // window's message stays the same; the command line names the entry.
  EntryRefusal refusal;

  bool Installed() const { return outcome == Outcome::kInstalled; }
};

// Makes the plug-in folder (with its parents) when missing and extracts the archive into it.
// Fails, changing nothing, when the archive does not hold the install marker "Brindo.rb" at
// its top: such an archive is no plug-in. Folders made here are removed again on failure.
// Every archive, downloaded or not, is held to the bounds of install_limits.h: one larger than
// the archive bound fails here, and the extraction holds to the others. Never throws.
InstallOutcome InstallArchive(const std::wstring& archivePath, const std::wstring& pluginFolder);

// `folder` as the user would type it, without the long-path prefix.
std::wstring DisplayableFolder(const std::wstring& folder);

// What the user is told about an outcome: its message, and the folder for kRestoreFailed.
std::wstring OutcomeMessage(const InstallOutcome& outcome);

}  // namespace install
