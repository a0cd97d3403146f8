// The publisher's signature of the plug-in archive. A build that carries the publisher's keys
// (net/update_config.h; a signature by any of them will do) installs an archive only when the
// signature beside it on the server
// ("<archive URL>.sig", 64 bytes r||s) is the key owner's signature of the archive's bytes; an
// archive installed from a file likewise needs the file "<archive file>.sig" beside it.
#pragma once

#include <windows.h>

#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "install/outcome.h"
#include "net/signature_check.h"

namespace install {

// What the server's answer to the request for a signature says: kReady when the body is the
// signature to check; kNotGenuine when the server has none (404, 410) or sends more than any
// signature; kDownloadFailed when it could not be had (no connection, a time-out, a server
// error), which says nothing about the archive.
Outcome JudgeSignatureReply(int status, DWORD error);

class ArchiveSignature {
 public:
  // Whether this build carries a publisher key. Without one archives are installed unchecked.
  static bool Required();

  ArchiveSignature() = default;
  ArchiveSignature(ArchiveSignature&& other) noexcept { *this = std::move(other); }
  ArchiveSignature& operator=(ArchiveSignature&& other) noexcept;
  ~ArchiveSignature();

  // Takes the archive's bytes as they arrive, in order (nothing is kept without a key). They
  // are hashed in blocks on a thread of their own, while the download goes on.
  void Add(std::string_view bytes) noexcept;

  // Forgets every byte added: the archive starts again from its first byte.
  void Restart() noexcept;

  // Fetches the signature from beside `archiveUrl` and tells whether it is the publisher's
  // signature of the bytes added: kReady when it is; kNotGenuine when the server has none
  // (404, 410) or it is not (a signature of any other length included); kDownloadFailed when
  // it could not be had (no connection, a time-out, a server error), which says nothing about
  // the archive. Waits for the network: only for a worker thread.
  Outcome Holds(const std::string& archiveUrl);
  // The same for an archive from a file, with the signature in the file `signatureFile`. No
  // such file, or one of any other length, is kNotGenuine.
  Outcome HoldsFile(const std::wstring& signatureFile);

  // The SHA-256 of every byte added, once no more are to come; nothing when bytes went unhashed
  // or CNG failed (or without a key, when nothing is hashed).
  std::optional<net::Sha256Digest> Digest();

 private:
  // Whether `signature` (read once the digest is known) signs the bytes added.
  template <typename ReadSignature>
  Outcome Verify(ReadSignature readSignature);
  // Waits until the block being hashed is done.
  void WaitForHashing() noexcept;

  std::optional<net::Sha256> digest_;          // started by the first bytes
  std::string collecting_;                     // bytes not yet handed to the hashing thread
  std::string hashing_;                        // the block the hashing thread works on
  std::future<void> hashed_;                   // that thread's end
  std::optional<net::Sha256Digest> finished_;  // the digest, once Digest ended the hash
  bool incomplete_ = false;                    // memory ran out and bytes went unhashed
};

}  // namespace install
