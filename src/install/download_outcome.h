// Judging a finished download of the plug-in archive, and the progress it shows meanwhile.
// Plain rules on what the download control reported, so they hold without a network.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "install/outcome.h"

namespace install {

// The status code of the response whose raw headers (status line first, lines ending in
// CRLF) are given; 0 when the text does not start with an HTTP status line.
int HttpStatusOf(std::string_view rawHeaders);

// The value of the first header line named `name` (ASCII case ignored) in raw response headers,
// without the spaces around it; nothing when there is none.
std::optional<std::string_view> HeaderValueOf(std::string_view rawHeaders, std::string_view name);

// What names one version of the archive, for asking for the rest of it ("If-Range"): its strong
// ETag, else its Last-Modified date; empty when the response gives neither (a weak ETag cannot
// ask for a range).
std::string ValidatorOf(std::string_view rawHeaders);

// A 206 response's "Content-Range: bytes FIRST-LAST/TOTAL" (a known total only).
struct ContentRange {
  uint64_t first = 0;
  uint64_t last = 0;
  uint64_t total = 0;
};
std::optional<ContentRange> ContentRangeOf(std::string_view rawHeaders);

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
// or a body cut short is no archive. A proxy that wants credentials (407) is a failure of its own.
// A download stopped for want of space failed like one the network broke off. kReady (the whole
// archive is on disk), kDownloadFailed (the network or the server failed: the user should retry) or
// kNotSaved (the archive could not be written).
Outcome JudgeDownload(const DownloadFacts& facts);

// The progress bar's position for `received` of `total` bytes, in percent rounded to nearest
// (ties to even). Without a known total the bar stays at its lowest position (0).
int ProgressPosition(DWORD received, DWORD total);

}  // namespace install
