// Judging a finished download of the plug-in archive, and the progress it shows meanwhile.
// Plain rules on what the download control reported, so they hold without a network.
#pragma once

#include <windows.h>

#include <string_view>

#include "install/outcome.h"

namespace install {

// The status code of the response whose raw headers (status line first, lines ending in
// CRLF) are given; 0 when the text does not start with an HTTP status line.
int HttpStatusOf(std::string_view rawHeaders);

// What the download control and the page's own writes said about one download.
struct DownloadFacts {
  DWORD error = 0;              // the transfer's error code, 0 when it ran to its end
  int status = 0;               // the response's status code, 0 when none was seen
  DWORD total = 0;              // the announced Content-Length, 0 when none
  DWORD written = 0;            // bytes stored in the temporary archive
  bool writeFailed = false;     // a chunk could not be stored
  bool tooLittleSpace = false;  // stopped before its volume would be left too full
};

// Only a 200 response that delivered every announced byte counts as complete: an error page
// or a body cut short is no archive. A download stopped for want of space failed like one the
// network broke off. kReady (the whole archive is on disk), kDownloadFailed (the network or the
// server failed: the user should retry) or kNotSaved (the archive could not be written).
Outcome JudgeDownload(const DownloadFacts& facts);

// The progress bar's position for `received` of `total` bytes, in percent rounded to nearest
// (ties to even). Without a known total the bar stays at its lowest position (0).
int ProgressPosition(DWORD received, DWORD total);

}  // namespace install
