// The publisher's signed release record: which version the server offers, and the exact archive
// that is that version. scripts/publish.py writes it beside the archive as plain text,
//
//   version=1.0.9
//   size=5242880
//   sha256=<64 hex digits of the archive's SHA-256>
//   published=2026-12-09T20:13:32Z
//
// ("<archive URL>.release", lines ending in LF), and signs its bytes with the archive's key
// ("<archive URL>.release.sig", 64 bytes r||s). A build with a key fetches and verifies it before
// the archive, holds the download to its size, installs only an archive with its hash, and
// decides about older versions on its version alone (installed_version.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "install/outcome.h"
#include "net/signature_check.h"

namespace install {

// Longer texts are no record this program writes: they are not read past this.
inline constexpr size_t kMaxReleaseRecordBytes = 1024;

struct ReleaseRecord {
  std::string version;  // a dotted version (version_order.h)
  uint64_t size = 0;    // the archive's bytes, 1 up to the archive bound
  net::Sha256Digest sha256{};
  std::string published;  // when it was published, as written (UTC, ISO 8601)
};

// The record in `text`: each of the four keys exactly once, lines "key=value" ending in LF (a
// CR before it is allowed), other keys ignored so that later records can say more. Nothing
// for any other text: a missing, repeated or empty key, a version that is no dotted version, a
// size that is no decimal number within the archive bound, a hash that is not 64 hex digits.
std::optional<ReleaseRecord> ParseReleaseRecord(std::string_view text);

struct ReleaseFetch {
  Outcome outcome = Outcome::kDownloadFailed;  // kReady, kDownloadFailed or kNotGenuine
  ReleaseRecord record;                        // for kReady
};

// Fetches the record beside `archiveUrl` and its signature and verifies them with the build's
// keys: kDownloadFailed when the server could not be reached or the transfer broke, kNotGenuine
// when either file is missing (any status but 200), too long, not signed by a key of the build,
// or no record. Waits for the network: only for a worker thread.
ReleaseFetch FetchReleaseRecord(const std::string& archiveUrl);

}  // namespace install
