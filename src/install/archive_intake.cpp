#include "install/archive_intake.h"

#include <windows.h>

#include <optional>

#include "install/temp_archive.h"

namespace install {

bool ArchiveIntake::Open() {
  const std::optional<std::wstring> archive = TempArchive();
  if (!archive) return false;
  file_ = CreateTempArchive(*archive);
  if (!file_) return false;
  path_ = *archive;
  space_ = FreeSpaceWatch(path_.substr(0, path_.rfind(L'\\') + 1));
  return true;
}

bool ArchiveIntake::Take(std::string_view chunk, uint64_t expected) {
  if (record_ && chunk.size() > record_->size - written_) {
    overRecord_ = true;
    return false;  // more than the publisher's archive: nothing of it is wanted
  }
  if (!space_.Allows(written_, chunk.size(), expected)) {
    tooLittleSpace_ = true;
    return false;  // not another byte: the disk is the user's
  }
  DWORD count = 0;
  if (!::WriteFile(file_.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &count, nullptr) ||
      count != chunk.size()) {
    writeFailed_ = true;
    return false;
  }
  written_ += chunk.size();
  signature_.Add(chunk);
  return true;
}

bool ArchiveIntake::Restart() {
  const LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN) ||
      !::SetEndOfFile(file_.get())) {
    writeFailed_ = true;
    return false;
  }
  written_ = 0;
  tooLittleSpace_ = false;
  space_ = FreeSpaceWatch(path_.substr(0, path_.rfind(L'\\') + 1));
  signature_.Restart();
  return true;
}

void ArchiveIntake::Discard() {
  file_.reset();
  if (!path_.empty()) ::DeleteFileW(path_.c_str());
}

Outcome ArchiveIntake::GenuineFromServer(const std::string& url) {
  if (!ArchiveSignature::Required()) return Outcome::kReady;
  if (!record_ || written_ != record_->size) return Outcome::kNotGenuine;
  const std::optional<net::Sha256Digest> digest = signature_.Digest();
  if (!digest || *digest != record_->sha256) return Outcome::kNotGenuine;
  return signature_.Holds(url);
}

Outcome ArchiveIntake::GenuineFromFile(const std::wstring& signatureFile) {
  return ArchiveSignature::Required() ? signature_.HoldsFile(signatureFile) : Outcome::kReady;
}

}  // namespace install
