// Checking that the plug-in archive comes from its publisher: an ECDSA P-256 signature over the
// SHA-256 digest of the archive's bytes, verified with Windows' own CNG.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/unique_handle.h"

namespace net {

namespace cng {
struct AlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashTraits {
  using Handle = BCRYPT_HASH_HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::BCryptDestroyHash(h); }
};
struct KeyTraits {
  using Handle = BCRYPT_KEY_HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::BCryptDestroyKey(h); }
};
using UniqueAlgorithm = base::UniqueHandle<AlgorithmTraits>;
using UniqueHash = base::UniqueHandle<HashTraits>;
using UniqueKey = base::UniqueHandle<KeyTraits>;
}  // namespace cng

// A P-256 public key: X then Y, 32 bytes each, big-endian.
using PublicKey = std::array<uint8_t, 64>;
using Sha256Digest = std::array<uint8_t, 32>;
// A signature as the publisher writes it: r then s, 32 bytes each, big-endian.
inline constexpr size_t kSignatureBytes = 64;

// The key from its 128 hex digits (either case); nothing for any other text.
std::optional<PublicKey> ParsePublicKey(std::string_view hex);

// The keys of a list "KEY;KEY;..." (spaces around each ignored), in order; nothing when the list
// is empty or any part is no key. More than one key lets a publisher change keys: builds carrying
// the old and the new one accept both while the new one spreads.
std::optional<std::vector<PublicKey>> ParsePublicKeys(std::string_view list);

// SHA-256 of bytes fed in pieces, as they arrive.
class Sha256 {
 public:
  Sha256();

  void Add(std::string_view bytes);
  // The digest of everything added; nothing when CNG failed at any step. Ends the hash.
  std::optional<Sha256Digest> Finish();

 private:
  cng::UniqueAlgorithm algorithm_;
  cng::UniqueHash hash_;
  bool failed_ = false;
};

// Whether `signature` is the key's owner's signature of `digest`. Anything but exactly 64
// bytes, a key that is no point of the curve, or a failure of CNG is no.
bool IsSignedBy(const PublicKey& key, const Sha256Digest& digest, std::string_view signature);
// Whether any of `keys` signed `digest`.
bool IsSignedByAny(const std::vector<PublicKey>& keys, const Sha256Digest& digest,
                   std::string_view signature);

// SHA-256 of bytes held in memory; nothing when CNG failed.
std::optional<Sha256Digest> Sha256Of(std::string_view bytes);

}  // namespace net
