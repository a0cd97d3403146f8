#include "install/archive_fetch.h"

#include "net/update_urls.h"

namespace install {

Outcome FinishDownload(const ArchiveDownload& download) {
  ArchiveIntake& intake = *download.intake;
  Outcome result = JudgeDownload(download.Facts());
  if (result == Outcome::kReady) result = intake.GenuineFromServer(net::PluginArchiveUrl());
  // Whatever is not the publisher's whole archive is not kept.
  if (result != Outcome::kReady) intake.Discard();
  return result;
}

Outcome FinishFileRead(ArchiveIntake& intake, Outcome read, const std::wstring& file) {
  intake.Close();
  Outcome result = read;
  if (result == Outcome::kReady) result = intake.GenuineFromFile(SignatureFileOf(file));
  if (result != Outcome::kReady) intake.Discard();
  return result;
}

Outcome FetchArchive(ArchiveIntake& intake, const std::wstring& file) {
  if (!intake.Open()) return Outcome::kNotCreated;
  if (!file.empty()) return FinishFileRead(intake, ReadArchiveFile(file, intake), file);
  net::WinInetControl control;
  PrepareArchiveDownload(control);
  ArchiveDownload download;
  download.intake = &intake;
  control.HttpGet(net::PluginArchiveUrl(), download.UserValue(), 0, 0);
  return FinishDownload(download);
}

}  // namespace install
