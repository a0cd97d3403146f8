#include "install/download_outcome.h"

#include <cmath>

namespace install {

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

Outcome JudgeDownload(const DownloadFacts& facts) {
  if (facts.writeFailed) return Outcome::kNotSaved;
  if (facts.error != 0 || facts.status != 200 || facts.tooLittleSpace) {
    return Outcome::kDownloadFailed;
  }
  if (facts.written < facts.total) return Outcome::kDownloadFailed;
  return Outcome::kReady;
}

int ProgressPosition(DWORD received, DWORD total) {
  if (total == 0) return 0;
  const double percent = std::nearbyint(static_cast<double>(received) / total * 100.0);
  return percent > 100.0 ? 100 : static_cast<int>(percent);
}

}  // namespace install
