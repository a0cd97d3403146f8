#include "pages/plugin/archive_fetch.h"

#include "net/update_urls.h"
#include "pages/plugin/plugin_texts.h"

namespace plugin_page {

FetchResult FinishDownload(const ArchiveDownload& download) {
  ArchiveIntake& intake = *download.intake;
  FetchResult result = FetchResult::kReady;
  switch (JudgeDownload(download.Facts())) {
    case DownloadVerdict::kComplete:
      if (!intake.GenuineFromServer(net::PluginArchiveUrl())) result = FetchResult::kNotGenuine;
      break;
    case DownloadVerdict::kFailed:
      result = FetchResult::kDownloadFailed;
      break;
    case DownloadVerdict::kNotSaved:
      result = FetchResult::kNotSaved;
      break;
  }
  // Whatever is not the publisher's whole archive is not kept.
  if (result != FetchResult::kReady) intake.Discard();
  return result;
}

FetchResult FinishFileRead(ArchiveIntake& intake, FileReadResult read, const std::wstring& file) {
  intake.Close();
  FetchResult result = FetchResult::kReady;
  switch (read) {
    case FileReadResult::kRead:
      if (!intake.GenuineFromFile(SignatureFileOf(file))) result = FetchResult::kNotGenuine;
      break;
    case FileReadResult::kUnreadable:
      result = FetchResult::kFileUnreadable;
      break;
    case FileReadResult::kTooLarge:
      result = FetchResult::kTooLarge;
      break;
    case FileReadResult::kNotSaved:
      result = FetchResult::kNotSaved;
      break;
    case FileReadResult::kStopped:
      result = FetchResult::kStopped;
      break;
  }
  if (result != FetchResult::kReady) intake.Discard();
  return result;
}

FetchResult FetchArchive(ArchiveIntake& intake, const std::wstring& file) {
  if (!intake.Open()) return FetchResult::kNotCreated;
  if (!file.empty()) return FinishFileRead(intake, ReadArchiveFile(file, intake), file);
  net::WinInetControl control;
  PrepareArchiveDownload(control);
  ArchiveDownload download;
  download.intake = &intake;
  control.HttpGet(net::PluginArchiveUrl(), download.UserValue(), 0, 0);
  return FinishDownload(download);
}

std::wstring_view FetchMessage(FetchResult result) {
  switch (result) {
    case FetchResult::kReady:
    case FetchResult::kStopped:
      return {};
    case FetchResult::kNotCreated:
      return texts::kCannotCreateArchive;
    case FetchResult::kDownloadFailed:
      return texts::kDownloadFailed;
    case FetchResult::kFileUnreadable:
      return texts::kCannotReadArchiveFile;
    case FetchResult::kTooLarge:
    case FetchResult::kNotSaved:
      return texts::kInstallFailed;
    case FetchResult::kNotGenuine:
      return texts::kArchiveNotGenuine;
  }
  return texts::kInstallFailed;
}

}  // namespace plugin_page
