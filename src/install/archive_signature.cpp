#include "install/archive_signature.h"

#include <new>
#include <system_error>

#include "base/unique_handle.h"
#include "install/download_outcome.h"
#include "net/update_config.h"
#include "net/wininet_control.h"

namespace install {

namespace {

// Hashing in large blocks keeps CNG's per-call cost and the thread starts negligible.
constexpr size_t kHashBlockBytes = 1 << 20;

// What the server said to the request for the signature.
struct SignatureReply {
  int status = 0;
  DWORD error = 0;
};

SignatureReply& ReplyOf(uint64_t user) {
  return *reinterpret_cast<SignatureReply*>(user);
}

void SignatureHeaders(HINTERNET, uint64_t user, const char* headers, DWORD length) {
  ReplyOf(user).status = HttpStatusOf(std::string_view(headers, length));
}

void SignatureComplete(HINTERNET, uint64_t user, const char*, DWORD, DWORD error) {
  ReplyOf(user).error = error;
}

struct FetchedSignature {
  std::optional<std::string> bytes;
  bool unreachable = false;
};

FetchedSignature FetchSignature(const std::string& url) {
  net::WinInetControl control;
  control.SetEventHandler("Headers", &SignatureHeaders);
  control.SetEventHandler("DownloadComplete", &SignatureComplete);
  // Whatever is longer than a signature is none: no need to take it all in.
  control.SetMaxBodyBytes(net::kSignatureBytes);
  SignatureReply reply;
  std::string body = control.HttpGet(url, reinterpret_cast<uint64_t>(&reply), 0, 0);
  switch (JudgeSignatureReply(reply.status, reply.error)) {
    case Outcome::kReady:
      return {std::move(body), false};
    case Outcome::kDownloadFailed:
      return {std::nullopt, true};
    default:
      return {};
  }
}

// At most one byte more than a signature: whatever is longer is none, and need not be read.
std::optional<std::string> ReadSignatureFile(const std::wstring& path) {
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(net::kSignatureBytes + 1, '\0');
  DWORD read = 0, total = 0;
  while (total < bytes.size() &&
         ::ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total),
                    &read, nullptr) &&
         read > 0) {
    total += read;
  }
  bytes.resize(total);
  return bytes;
}

}  // namespace

Outcome JudgeSignatureReply(int status, DWORD error) {
  if (status == 404 || status == 410) return Outcome::kNotGenuine;
  // Longer than any signature: the transfer stopped at the bound, and it is none.
  if (status == 200 && error == ERROR_FILE_TOO_LARGE) return Outcome::kNotGenuine;
  if (error != 0 || status != 200) return Outcome::kDownloadFailed;
  return Outcome::kReady;
}

bool ArchiveSignature::Required() {
  return net::kUpdatePublicKey[0] != '\0';
}

ArchiveSignature& ArchiveSignature::operator=(ArchiveSignature&& other) noexcept {
  // The hashing thread works on the object it was started for: let both finish first.
  WaitForHashing();
  other.WaitForHashing();
  digest_ = std::move(other.digest_);
  incomplete_ = other.incomplete_;
  collecting_ = std::move(other.collecting_);
  hashing_ = std::move(other.hashing_);
  hashed_ = std::move(other.hashed_);
  finished_ = other.finished_;
  return *this;
}

ArchiveSignature::~ArchiveSignature() {
  WaitForHashing();
}

void ArchiveSignature::WaitForHashing() noexcept {
  if (hashed_.valid()) hashed_.wait();
}

void ArchiveSignature::Add(std::string_view bytes) noexcept {
  if (!Required() || incomplete_) return;
  try {
    if (!digest_) digest_.emplace();
    collecting_.append(bytes);
    if (collecting_.size() < kHashBlockBytes) return;
    WaitForHashing();
    hashing_.swap(collecting_);
    collecting_.clear();
    try {
      hashed_ = std::async(std::launch::async, [this] { digest_->Add(hashing_); });
    } catch (const std::system_error&) {
      digest_->Add(hashing_);  // no thread to be had: hash it here
    }
  } catch (const std::bad_alloc&) {
    incomplete_ = true;  // bytes were lost: no signature can hold
  }
}

void ArchiveSignature::Restart() noexcept {
  WaitForHashing();
  digest_.reset();
  finished_.reset();
  collecting_.clear();
  hashing_.clear();
  incomplete_ = false;
}

std::optional<net::Sha256Digest> ArchiveSignature::Digest() {
  if (finished_ || !Required() || incomplete_) return finished_;
  if (!digest_) digest_.emplace();  // an empty archive
  WaitForHashing();
  digest_->Add(collecting_);
  finished_ = digest_->Finish();
  return finished_;
}

template <typename ReadSignature>
Outcome ArchiveSignature::Verify(ReadSignature readSignature) {
  // The build checked the keys' form; keys that still do not read verify nothing.
  const auto keys = net::ParsePublicKeys(net::kUpdatePublicKey);
  const std::optional<net::Sha256Digest> digest = Digest();
  if (!keys || !digest) return Outcome::kNotGenuine;
  const FetchedSignature signature = readSignature();
  if (signature.unreachable) return Outcome::kDownloadFailed;
  return signature.bytes && net::IsSignedByAny(*keys, *digest, *signature.bytes)
             ? Outcome::kReady
             : Outcome::kNotGenuine;
}

Outcome ArchiveSignature::Holds(const std::string& archiveUrl) {
  return Verify([&] { return FetchSignature(archiveUrl + ".sig"); });
}

Outcome ArchiveSignature::HoldsFile(const std::wstring& signatureFile) {
  return Verify([&] { return FetchedSignature{ReadSignatureFile(signatureFile), false}; });
}

}  // namespace install
