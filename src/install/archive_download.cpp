#include "install/archive_download.h"

#include <string_view>

namespace install {

namespace {

ArchiveDownload& DownloadOf(uint64_t user) {
  return *reinterpret_cast<ArchiveDownload*>(user);
}

// The status line tells an archive from an error page.
void Headers(HINTERNET, uint64_t user, const char* headers, DWORD length) {
  DownloadOf(user).status = HttpStatusOf(std::string_view(headers, length));
}

void DownloadBegin(HINTERNET, uint64_t user, DWORD total) {
  ArchiveDownload& download = DownloadOf(user);
  download.total = total;
  if (download.begun) download.begun();
}

int FileDownload(HINTERNET, uint64_t user, const char* chunk, DWORD length, DWORD received,
                 DWORD total) {
  ArchiveDownload& download = DownloadOf(user);
  if (!download.intake->Take(std::string_view(chunk, length), total)) return 1;
  return download.kept && !download.kept(received, total) ? 1 : 0;
}

void DownloadComplete(HINTERNET, uint64_t user, const char*, DWORD, DWORD error) {
  ArchiveDownload& download = DownloadOf(user);
  download.error = error;
  download.intake->Close();
  if (download.ended) download.ended();
}

}  // namespace

DownloadFacts ArchiveDownload::Facts() const {
  return {error,
          status,
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

}  // namespace install
