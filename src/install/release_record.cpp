#include "install/release_record.h"

#include "install/download_outcome.h"
#include "install/install_limits.h"
#include "install/version_order.h"
#include "net/update_config.h"
#include "net/wininet_control.h"

namespace install {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint64_t> DecimalOf(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;  // 19 digits never overflow
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

std::optional<net::Sha256Digest> DigestOf(std::string_view hex) {
  net::Sha256Digest digest{};
  if (hex.size() != digest.size() * 2) return std::nullopt;
  for (size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(hex[2 * i]), low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    digest[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return digest;
}

// What the server said to one request for a small file.
struct Reply {
  int status = 0;
  DWORD error = 0;
};

void ReplyHeaders(HINTERNET, uint64_t user, const char* headers, DWORD length) {
  reinterpret_cast<Reply*>(user)->status = HttpStatusOf(std::string_view(headers, length));
}

void ReplyComplete(HINTERNET, uint64_t user, const char*, DWORD, DWORD error) {
  reinterpret_cast<Reply*>(user)->error = error;
}

// The body of a 200 answer of at most `maxBytes`; the outcome says why there is none.
Outcome FetchSmall(const std::string& url, size_t maxBytes, std::string& body) {
  net::WinInetControl control;
  control.SetEventHandler("Headers", &ReplyHeaders);
  control.SetEventHandler("DownloadComplete", &ReplyComplete);
  control.SetMaxBodyBytes(maxBytes);
  Reply reply;
  body = control.HttpGet(url, reinterpret_cast<uint64_t>(&reply), 0, 0);
  // A reply the server did give, but not the file in its bounds, is no record of the publisher.
  if (reply.error == ERROR_FILE_TOO_LARGE) return Outcome::kNotGenuine;
  if (reply.error != 0 || reply.status == 0) return Outcome::kDownloadFailed;
  return reply.status == 200 ? Outcome::kReady : Outcome::kNotGenuine;
}

}  // namespace

std::optional<ReleaseRecord> ParseReleaseRecord(std::string_view text) {
  std::optional<std::string_view> version, size, sha256, published;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // every line ends
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    std::optional<std::string_view>* slot = key == "version"     ? &version
                                            : key == "size"      ? &size
                                            : key == "sha256"    ? &sha256
                                            : key == "published" ? &published
                                                                 : nullptr;
    if (slot == nullptr) continue;
    if (*slot || value.empty()) return std::nullopt;
    *slot = value;
  }
  if (!version || !size || !sha256 || !published || !IsDottedVersion(*version)) {
    return std::nullopt;
  }
  const std::optional<uint64_t> bytes = DecimalOf(*size);
  const std::optional<net::Sha256Digest> digest = DigestOf(*sha256);
  if (!bytes || *bytes == 0 || *bytes > MaxArchiveBytes() || !digest) return std::nullopt;
  return ReleaseRecord{std::string(*version), *bytes, *digest, std::string(*published)};
}

ReleaseFetch FetchReleaseRecord(const std::string& archiveUrl) {
  ReleaseFetch fetch;
  std::string text, signature;
  fetch.outcome = FetchSmall(archiveUrl + ".release", kMaxReleaseRecordBytes, text);
  if (fetch.outcome != Outcome::kReady) return fetch;
  fetch.outcome = FetchSmall(archiveUrl + ".release.sig", net::kSignatureBytes, signature);
  if (fetch.outcome != Outcome::kReady) return fetch;
  fetch.outcome = Outcome::kNotGenuine;
  const auto keys = net::ParsePublicKeys(net::kUpdatePublicKey);
  const auto digest = net::Sha256Of(text);
  if (!keys || !digest || !net::IsSignedByAny(*keys, *digest, signature)) return fetch;
  const std::optional<ReleaseRecord> record = ParseReleaseRecord(text);
  if (!record) return fetch;
  fetch.record = *record;
  fetch.outcome = Outcome::kReady;
  return fetch;
}

}  // namespace install
