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

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Digits only, no overflow; advances `text` past them.
std::optional<uint64_t> NumberAt(std::string_view& text) {
  uint64_t value = 0;
  size_t digits = 0;
  for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    if (value > (UINT64_MAX - 9) / 10) return std::nullopt;
    value = value * 10 + static_cast<unsigned>(text[digits] - '0');
  }
  if (digits == 0) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

}  // namespace

std::optional<std::string_view> HeaderValueOf(std::string_view rawHeaders, std::string_view name) {
  size_t at = rawHeaders.find("\r\n");  // past the status line
  while (at != std::string_view::npos && at + 2 < rawHeaders.size()) {
    const size_t begin = at + 2;
    at = rawHeaders.find("\r\n", begin);
    const std::string_view line = rawHeaders.substr(begin, at - begin);
    const size_t colon = line.find(':');
    if (colon != std::string_view::npos && SameWord(line.substr(0, colon), name)) {
      return Trimmed(line.substr(colon + 1));
    }
  }
  return std::nullopt;
}

std::string ValidatorOf(std::string_view rawHeaders) {
  const std::optional<std::string_view> tag = HeaderValueOf(rawHeaders, "ETag");
  if (tag && tag->size() >= 2 && tag->front() == '"' && tag->back() == '"') {
    return std::string(*tag);
  }
  if (tag) return std::string();  // weak or malformed: the date cannot stand in for it
  return std::string(HeaderValueOf(rawHeaders, "Last-Modified").value_or(""));
}

std::optional<ContentRange> ContentRangeOf(std::string_view rawHeaders) {
  std::string_view text = HeaderValueOf(rawHeaders, "Content-Range").value_or("");
  if (text.substr(0, 6) != "bytes ") return std::nullopt;
  text.remove_prefix(6);
  const std::optional<uint64_t> first = NumberAt(text);
  if (!first || text.substr(0, 1) != "-") return std::nullopt;
  text.remove_prefix(1);
  const std::optional<uint64_t> last = NumberAt(text);
  if (!last || text.substr(0, 1) != "/") return std::nullopt;
  text.remove_prefix(1);
  const std::optional<uint64_t> total = NumberAt(text);
  if (!total || !text.empty() || *first > *last || *last >= *total) return std::nullopt;
  return ContentRange{*first, *last, *total};
}

Outcome JudgeDownload(const DownloadFacts& facts) {
  if (facts.writeFailed) return Outcome::kNotSaved;
  if (facts.status == 407) return Outcome::kProxyAuthRequired;
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
