// Downloading the plug-in archive from the update server into an intake, with the download
// control. The same handlers serve the page's download on the control's worker and a command
// run's download on its own thread; the request's user value is the ArchiveDownload.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "net/wininet_control.h"
#include "install/archive_intake.h"
#include "install/download_outcome.h"

namespace install {

struct ArchiveDownload {
  ArchiveIntake* intake = nullptr;  // open; receives the body
  // Called on the transfer's thread, each when set: as the body begins; after each chunk kept
  // (false stops the transfer, keeping nothing more); once at the very end.
  std::function<void()> begun;
  std::function<bool(DWORD received, DWORD total)> kept;
  std::function<void()> ended;

  // What the transfer reported, for the whole archive: the total its first response (or a 200
  // that replaced it) announced.
  int status = 0;
  DWORD total = 0;
  DWORD error = 0;

  // For asking for the rest after a break: the archive's validator (download_outcome.h), the
  // byte the latest request asked to start at (0: the whole archive), whether its answer was not
  // the rest of the same archive, the continuations asked for, and when the last byte came.
  std::string validator;
  DWORD resumeFrom = 0;
  bool rangeRefused = false;
  int resumes = 0;
  ULONGLONG lastByteMs = 0;

  // A continuation that brought the rest of the archive counts as the archive's own 200.
  DownloadFacts Facts() const;
  uint64_t UserValue() { return reinterpret_cast<uint64_t>(this); }
};

// Sets `control` up for the archive: HTTP/1.1, 4096-byte reads, the archive bound, and the
// handlers that feed the ArchiveDownload given as each request's user value.
void PrepareArchiveDownload(net::WinInetControl& control);

// After a download from `url` has ended: when the connection broke after some bytes, the server
// named the archive (validator) and the break is within the stall budget, asks for the rest
// ("Range" from the first missing byte, "If-Range" the validator), at most three times. A 206 that
// is not that rest fails the download; a 200 (the archive changed) starts the intake again from
// its first byte. Blocks for the network, on the calling thread.
void ResumeBrokenDownload(ArchiveDownload& download, const std::string& url);

}  // namespace install
