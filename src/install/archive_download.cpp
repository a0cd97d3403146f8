#include "install/archive_download.h"

#include <optional>
#include <string_view>
#include <utility>

#include "install/install_limits.h"
#include "net/low_speed.h"

namespace install {

namespace {

ArchiveDownload& DownloadOf(uint64_t user) {
  return *reinterpret_cast<ArchiveDownload*>(user);
}

constexpr int kMaxResumes = 3;

bool Continues(const ArchiveDownload& download) {
  return download.resumeFrom > 0 && download.status == 206;
}

// The status line tells an archive from an error page; a continuation must be the rest of the
// same archive, and a whole new archive replaces what came of the old one.
void Headers(HINTERNET, uint64_t user, const char* headers, DWORD length) {
  ArchiveDownload& download = DownloadOf(user);
  const std::string_view raw(headers, length);
  download.status = HttpStatusOf(raw);
  if (Continues(download)) {
    const std::optional<ContentRange> range = ContentRangeOf(raw);
    download.rangeRefused =
        !range || range->first != download.resumeFrom || range->total != download.total;
    return;
  }
  if (download.status != 200) return;
  if (download.resumeFrom > 0) download.intake->Restart();
  download.validator = ValidatorOf(raw);
}

void DownloadBegin(HINTERNET, uint64_t user, DWORD total) {
  ArchiveDownload& download = DownloadOf(user);
  if (Continues(download)) return;  // the archive's total stays the first response's
  download.total = total;
  if (download.resumes == 0 && download.begun) download.begun();
}

int FileDownload(HINTERNET, uint64_t user, const char* chunk, DWORD length, DWORD, DWORD) {
  ArchiveDownload& download = DownloadOf(user);
  ArchiveIntake& intake = *download.intake;
  // Nothing of another archive is kept, nor anything after a failed restart.
  if (download.rangeRefused || intake.WriteFailed()) return 1;
  // The bounds hold for the whole archive, however many requests bring it.
  if (download.total != 0 && intake.Written() + length > download.total) {
    download.rangeRefused = true;
    return 1;
  }
  if (!intake.Take(std::string_view(chunk, length), download.total)) return 1;
  download.lastByteMs = ::GetTickCount64();
  const DWORD written = static_cast<DWORD>(intake.Written());
  return download.kept && !download.kept(written, download.total) ? 1 : 0;
}

void DownloadComplete(HINTERNET, uint64_t user, const char*, DWORD, DWORD error) {
  ArchiveDownload& download = DownloadOf(user);
  download.error = error;
  if (download.ended) download.ended();
}

// Whether the download broke off in a way that asking for the rest can mend.
bool Resumable(const ArchiveDownload& download) {
  const ArchiveIntake& intake = *download.intake;
  const bool broken = download.error != 0 && download.error != ERROR_FILE_TOO_LARGE &&
                      download.error != ERROR_NOT_ENOUGH_MEMORY;
  const bool sameArchive =
      download.status == 200 || (Continues(download) && !download.rangeRefused);
  return broken && sameArchive && download.resumes < kMaxResumes && !download.validator.empty() &&
         intake.Written() > 0 && intake.Written() < download.total && !intake.WriteFailed() &&
         !intake.TooLittleSpace() &&
         ::GetTickCount64() - download.lastByteMs <= net::kDefaultLowSpeedPeriodMs;
}

}  // namespace

DownloadFacts ArchiveDownload::Facts() const {
  return {error,
          Continues(*this) && !rangeRefused ? 200 : status,
          total,
          static_cast<DWORD>(intake->Written()),
          intake->WriteFailed(),
          intake->TooLittleSpace()};
}

void PrepareArchiveDownload(net::WinInetControl& control) {
  control.SetHttpVersion("HTTP/1.1");
  control.SetBufferSize(4096);
  // Whatever is longer is no plug-in archive: the download stops there (a longer announced
  // length at once) and ends as failed.
  control.SetMaxBodyBytes(MaxArchiveBytes());
  control.SetEventHandler("Headers", &Headers);
  control.SetEventHandler("DownloadBegin", &DownloadBegin);
  control.SetEventHandler("FileDownload", &FileDownload);
  control.SetEventHandler("DownloadComplete", &DownloadComplete);
}

void ResumeBrokenDownload(ArchiveDownload& download, const std::string& url) {
  while (Resumable(download)) {
    // The caller may no longer want it (the program is closing).
    const DWORD written = static_cast<DWORD>(download.intake->Written());
    if (download.kept && !download.kept(written, download.total)) return;
    ++download.resumes;
    net::WinInetControl control;
    PrepareArchiveDownload(control);
    control.SetIfRange(download.validator);
    download.resumeFrom = written;
    download.status = 0;
    download.error = 0;
    const std::function<void()> ended = std::exchange(download.ended, nullptr);
    control.HttpGet(url, download.UserValue(), written + 1, 0);
    download.ended = ended;
  }
}

}  // namespace install
