// Bringing the publisher's plug-in archive into the temporary archive, from the update server or
// from a file, with every check the window makes: the bounds, the free space, and the signature
// when the build carries a key. What the window's runs and the command runs share.
#pragma once

#include <string>
#include <string_view>

#include "pages/plugin/archive_download.h"
#include "pages/plugin/archive_file.h"
#include "pages/plugin/archive_intake.h"

namespace plugin_page {

enum class FetchResult {
  kReady,           // the whole archive, genuine, is in the temporary archive
  kNotCreated,      // the temporary archive could not be made
  kDownloadFailed,  // the network or the server failed, or the temporary folder's disk is full
  kFileUnreadable,  // the archive file (FileReadResult::kUnreadable)
  kTooLarge,        // the archive file is over the archive bound
  kNotSaved,        // the temporary archive could not take the bytes
  kNotGenuine,      // not the publisher's archive (a build with a key only)
  kStopped,         // the caller stopped it
};

// After a download into `download.intake` has ended: judges it (download_outcome.h) and checks
// the signature beside the archive on the server. Waits for the network.
FetchResult FinishDownload(const ArchiveDownload& download);
// After ReadArchiveFile: its result, and the signature file beside `file`.
FetchResult FinishFileRead(ArchiveIntake& intake, FileReadResult read, const std::wstring& file);

// The whole road on the calling thread, for a program without a window: opens `intake`, then
// downloads the archive (`file` empty) or reads it from `file`, then checks it. On anything but
// kReady the temporary archive is gone again.
FetchResult FetchArchive(ArchiveIntake& intake, const std::wstring& file);

// What the window tells its user when the archive did not come in; empty for kReady and
// kStopped.
std::wstring_view FetchMessage(FetchResult result);

}  // namespace plugin_page
