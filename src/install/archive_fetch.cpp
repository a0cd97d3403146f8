#include "install/archive_fetch.h"

#include "net/update_urls.h"

namespace install {

Outcome ExpectRelease(ArchiveIntake& intake, net::WinInetControl& control) {
  if (!ArchiveSignature::Required()) return Outcome::kReady;
  const ReleaseFetch release = FetchReleaseRecord(net::PluginArchiveUrl());
  if (release.outcome != Outcome::kReady) return release.outcome;
  intake.Expect(release.record);
  control.SetMaxBodyBytes(release.record.size);
  return Outcome::kReady;
}

Outcome FinishDownload(ArchiveDownload& download) {
  ArchiveIntake& intake = *download.intake;
  ResumeBrokenDownload(download, net::PluginArchiveUrl());
  intake.Close();
  Outcome result = JudgeDownload(download.Facts());
  const bool pastRecord =
      intake.Record() && (intake.OverRecord() || download.error == ERROR_FILE_TOO_LARGE);
  if (pastRecord) {
    result = Outcome::kNotGenuine;
  } else if (result == Outcome::kReady) {
    result = intake.GenuineFromServer(net::PluginArchiveUrl());
  }
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
  const Outcome expected = ExpectRelease(intake, control);
  if (expected != Outcome::kReady) {
    intake.Discard();
    return expected;
  }
  ArchiveDownload download;
  download.intake = &intake;
  control.HttpGet(net::PluginArchiveUrl(), download.UserValue(), 0, 0);
  return FinishDownload(download);
}

}  // namespace install
