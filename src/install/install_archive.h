// Installing a downloaded plug-in archive into a plug-in folder, all or nothing.
#pragma once

#include <string>

#include "install/archive_intake.h"
#include "install/outcome.h"
#include "install/unzip_to_folder.h"

namespace install {

// The version an installation brings, as far as it is known.
struct OfferedVersion {
  std::string verified;         // from the verified release record; empty: not known
  bool allowDowngrade = false;  // the administrator accepts an older version on purpose
};

struct InstallOutcome {
  // kInstalled, kInstallFailed, kRestoreFailed or kOlderVersion
  Outcome outcome = Outcome::kInstallFailed;
  // Only for kRestoreFailed: where the earlier files are.
  std::wstring keptFolder;
  // For kInstallFailed: the entry the extraction could not unpack, if that was the cause. The
  // window's message stays the same; the command line names the entry.
  EntryRefusal refusal;

  bool Installed() const { return outcome == Outcome::kInstalled; }
};

// Makes the plug-in folder (with its parents) when missing and extracts the archive that
// `intake` holds into it, read through the intake's own handle. Nothing is touched while
// SketchUp runs (kSketchUpRunning): it is looked for right before the folder changes.
// Fails, changing nothing, when the archive does not hold the install marker "Brindo.rb" at
// its top: such an archive is no plug-in. Folders made here are removed again on failure.
// Every archive, downloaded or not, is held to the bounds of install_limits.h: one larger than
// the archive bound fails here, and the extraction holds to the others. Never throws.
// Never backwards: a verified version older than the one the folder's record names is refused
// (kOlderVersion, nothing touched) unless `offered.allowDowngrade`; the record is replaced with
// the offered version (an empty record when it is not known) together with the entries.
InstallOutcome InstallArchive(const ArchiveIntake& intake, const std::wstring& pluginFolder,
                              const OfferedVersion& offered = {});

// `folder` as the user would type it, without the long-path prefix.
std::wstring DisplayableFolder(const std::wstring& folder);

// What the user is told about an outcome: its message, and the folder for kRestoreFailed.
std::wstring OutcomeMessage(const InstallOutcome& outcome);

}  // namespace install
