#include "pages/plugin/download_outcome.h"

#include <cmath>

namespace plugin_page {

int HttpStatusOf(std::string_view rawHeaders) {
  // "HTTP/1.1 200 OK": the version, one or more spaces, three digits, then a space or the end.
  if (rawHeaders.substr(0, 5) != "HTTP/") return 0;
  size_t at = rawHeaders.find(' ');
  if (at == std::string_view::npos) return 0;
  while (at < rawHeaders.size() && rawHeaders[at] == ' ') ++at;
  int status = 0;
  size_t digits = 0;
  for (; at < rawHeaders.size() && digits < 4; ++at, ++digits) {
    const char c = rawHeaders[at];
    if (c < '0' || c > '9') break;
    status = status * 10 + (c - '0');
  }
  return digits == 3 ? status : 0;
}

DownloadVerdict JudgeDownload(const DownloadFacts& facts) {
  if (facts.writeFailed) return DownloadVerdict::kNotSaved;
  if (facts.error != 0 || facts.status != 200 || facts.tooLittleSpace) {
    return DownloadVerdict::kFailed;
  }
  if (facts.written < facts.total) return DownloadVerdict::kFailed;
  return DownloadVerdict::kComplete;
}

int ProgressPosition(DWORD received, DWORD total) {
  if (total == 0) return 0;
  const double percent = std::nearbyint(static_cast<double>(received) / total * 100.0);
  return percent > 100.0 ? 100 : static_cast<int>(percent);
}

}  // namespace plugin_page
