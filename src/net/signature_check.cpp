#include "net/signature_check.h"

#include <cstring>

namespace net {

namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<PublicKey> ParsePublicKey(std::string_view hex) {
  PublicKey key{};
  if (hex.size() != key.size() * 2) return std::nullopt;
  for (size_t i = 0; i < key.size(); ++i) {
    const int high = HexValue(hex[2 * i]);
    const int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return key;
}

std::optional<std::vector<PublicKey>> ParsePublicKeys(std::string_view list) {
  std::vector<PublicKey> keys;
  for (;;) {
    const size_t end = list.find(';');
    std::string_view part = list.substr(0, end);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    const std::optional<PublicKey> key = ParsePublicKey(part);
    if (!key) return std::nullopt;
    keys.push_back(*key);
    if (end == std::string_view::npos) return keys;
    list.remove_prefix(end + 1);
  }
}

Sha256::Sha256() {
  failed_ =
      !Succeeded(
          ::BCryptOpenAlgorithmProvider(algorithm_.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !Succeeded(::BCryptCreateHash(algorithm_.get(), hash_.put(), nullptr, 0, nullptr, 0, 0));
}

void Sha256::Add(std::string_view bytes) {
  if (failed_ || bytes.empty()) return;
  // One call takes at most 4 GB; the download hands over a few KB at a time.
  auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  failed_ = !Succeeded(::BCryptHashData(hash_.get(), data, static_cast<ULONG>(bytes.size()), 0));
}

std::optional<Sha256Digest> Sha256::Finish() {
  Sha256Digest digest{};
  if (failed_ || !Succeeded(::BCryptFinishHash(hash_.get(), digest.data(), digest.size(), 0))) {
    failed_ = true;
    return std::nullopt;
  }
  failed_ = true;  // a finished hash takes no more data
  return digest;
}

bool IsSignedBy(const PublicKey& key, const Sha256Digest& digest, std::string_view signature) {
  if (signature.size() != kSignatureBytes) return false;
  cng::UniqueAlgorithm algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_ECDSA_P256_ALGORITHM,
                                               nullptr, 0))) {
    return false;
  }
  struct {
    BCRYPT_ECCKEY_BLOB header;
    uint8_t point[64];
  } blob{{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32}, {}};
  static_assert(sizeof blob == sizeof(BCRYPT_ECCKEY_BLOB) + 64);
  std::memcpy(blob.point, key.data(), key.size());
  cng::UniqueKey imported;
  if (!Succeeded(::BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB,
                                       imported.put(), reinterpret_cast<PUCHAR>(&blob), sizeof blob,
                                       0))) {
    return false;
  }
  Sha256Digest hash = digest;
  uint8_t signatureBytes[kSignatureBytes];
  std::memcpy(signatureBytes, signature.data(), kSignatureBytes);
  return ::BCryptVerifySignature(imported.get(), nullptr, hash.data(), hash.size(), signatureBytes,
                                 kSignatureBytes, 0) == 0;
}

bool IsSignedByAny(const std::vector<PublicKey>& keys, const Sha256Digest& digest,
                   std::string_view signature) {
  for (const PublicKey& key : keys) {
    if (IsSignedBy(key, digest, signature)) return true;
  }
  return false;
}

std::optional<Sha256Digest> Sha256Of(std::string_view bytes) {
  Sha256 hash;
  hash.Add(bytes);
  return hash.Finish();
}

}  // namespace net
