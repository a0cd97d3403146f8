// The plug-in archive on its way in: the temporary archive that receives it chunk by chunk,
// from the update server or from a file, held to the bounds of install_limits.h and hashed for
// the signature check as it comes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/unique_handle.h"
#include "install/archive_signature.h"
#include "install/install_limits.h"
#include "install/release_record.h"

namespace install {

class ArchiveIntake {
 public:
  // Creates (or empties) the temporary archive (temp_archive.h); false when it cannot.
  bool Open();
  // The temporary archive; empty before Open.
  const std::wstring& Path() const { return path_; }

  // The verified release record the download is to match: no more bytes than it names are taken
  // (OverRecord), and GenuineFromServer wants its size and hash.
  void Expect(const ReleaseRecord& record) { record_ = record; }
  const std::optional<ReleaseRecord>& Record() const { return record_; }
  // The verified version being brought in; empty without a record.
  std::string VerifiedVersion() const { return record_ ? record_->version : std::string(); }

  // Stores the next chunk and hashes it. False, storing nothing of it, when the temporary
  // folder's volume would be left too full (TooLittleSpace), the write failed (WriteFailed), or
  // the chunk would take the archive past the record's size (OverRecord).
  // `expected` is the size the archive is announced to reach (0: unknown).
  bool Take(std::string_view chunk, uint64_t expected);
  uint64_t Written() const { return written_; }
  bool WriteFailed() const { return writeFailed_; }
  bool TooLittleSpace() const { return tooLittleSpace_; }
  bool OverRecord() const { return overRecord_; }

  // The archive changed on the server while it came: empties the file and starts the hash
  // again, so that bytes of two versions never mix. False (WriteFailed) when it cannot.
  bool Restart();

  // No more chunks: the file is closed and the archive stays for the installation.
  void Close() { file_.reset(); }
  // Closes the file and deletes the temporary archive.
  void Discard();

  // Whether the bytes taken are the publisher's archive (archive_signature.h): by the signature
  // beside `url` on the server, or in `signatureFile`. Always kReady for a build without a key.
  // From the server, a build with a key also wants the release record (Expect) and exactly the
  // archive it names: its size and its SHA-256.
  Outcome GenuineFromServer(const std::string& url);
  Outcome GenuineFromFile(const std::wstring& signatureFile);

 private:
  std::wstring path_;
  base::UniqueFile file_;
  FreeSpaceWatch space_;  // on the temporary folder's volume
  ArchiveSignature signature_;
  uint64_t written_ = 0;
  bool writeFailed_ = false;
  bool tooLittleSpace_ = false;
  bool overRecord_ = false;
  std::optional<ReleaseRecord> record_;
};

}  // namespace install
