// Bringing the publisher's plug-in archive into the temporary archive, from the update server or
// from a file, with every check the window makes: the bounds, the free space, and the signature
// when the build carries a key. What the window's runs and the command runs share.
#pragma once

#include <string>
#include <string_view>

#include "install/archive_download.h"
#include "install/archive_file.h"
#include "install/archive_intake.h"
#include "install/outcome.h"

namespace install {

// Before a download, for a build with a key: fetches and verifies the release record
// (release_record.h), has `intake` expect it and bounds `control` to its size. kReady, at once
// without a key; otherwise kDownloadFailed or kNotGenuine. Waits for the network.
Outcome ExpectRelease(ArchiveIntake& intake, net::WinInetControl& control);

// After a download into `download.intake` has ended: asks for the rest when it broke off
// (ResumeBrokenDownload), judges it (download_outcome.h) and checks the signature beside the
// archive on the server; with a key, the archive must be the one its release record names (more
// bytes than it, announced or sent, are no genuine archive either). Waits for the network.
Outcome FinishDownload(ArchiveDownload& download);
// After ReadArchiveFile: its result, and the signature file beside `file`.
Outcome FinishFileRead(ArchiveIntake& intake, Outcome read, const std::wstring& file);

// The whole road on the calling thread, for a program without a window: opens `intake`, then
// downloads the archive (`file` empty; after its release record when the build has a key) or
// reads it from `file`, then checks it. On anything but
// Outcome::kReady the temporary archive is gone again.
Outcome FetchArchive(ArchiveIntake& intake, const std::wstring& file);

}  // namespace install
