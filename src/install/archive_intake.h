// The plug-in archive on its way in: the temporary archive that receives it chunk by chunk,
// from the update server or from a file, held to the bounds of install_limits.h and hashed for
// the signature check as it comes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/unique_handle.h"
#include "install/archive_signature.h"
#include "install/install_limits.h"

namespace install {

class ArchiveIntake {
 public:
  // Creates (or empties) the temporary archive (temp_archive.h); false when it cannot.
  bool Open();
  // The temporary archive; empty before Open.
  const std::wstring& Path() const { return path_; }

  // Stores the next chunk and hashes it. False, storing nothing of it, when the temporary
  // folder's volume would be left too full (TooLittleSpace) or the write failed (WriteFailed).
  // `expected` is the size the archive is announced to reach (0: unknown).
  bool Take(std::string_view chunk, uint64_t expected);
  uint64_t Written() const { return written_; }
  bool WriteFailed() const { return writeFailed_; }
  bool TooLittleSpace() const { return tooLittleSpace_; }

  // No more chunks: the file is closed and the archive stays for the installation.
  void Close() { file_.reset(); }
  // Closes the file and deletes the temporary archive.
  void Discard();

  // Whether the bytes taken are the publisher's archive (archive_signature.h): by the signature
  // beside `url` on the server, or in `signatureFile`. Always kReady for a build without a key.
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
};

}  // namespace install
