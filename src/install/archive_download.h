// Downloading the plug-in archive from the update server into an intake, with the download
// control. The same handlers serve the page's download on the control's worker and a command
// run's download on its own thread; the request's user value is the ArchiveDownload.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

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

  // What the transfer reported.
  int status = 0;
  DWORD total = 0;
  DWORD error = 0;

  DownloadFacts Facts() const;
  uint64_t UserValue() { return reinterpret_cast<uint64_t>(this); }
};

// Sets `control` up for the archive: HTTP/1.1, 4096-byte reads, the archive bound, and the
// handlers that feed the ArchiveDownload given as each request's user value.
void PrepareArchiveDownload(net::WinInetControl& control);

}  // namespace install
