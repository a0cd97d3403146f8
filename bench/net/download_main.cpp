// One timed download to a file, either through the download control or through a minimal
// WinInet read loop making the same request. Prints "<seconds> <bytes> <peak working set>".
// Usage: bench_net_download.exe control|loop <url> <output file>
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/unique_handle.h"
#include "net/internet_handle.h"
#include "net/split_url.h"
#include "net/wininet_control.h"

namespace {

constexpr DWORD kBufferSize = 4096;  // what the plug-in page asks for

struct Sink {
  HANDLE file;
  base::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  unsigned long long bytes = 0;
  DWORD error = 0;
};

int OnChunk(HINTERNET, uint64_t user, const char* chunk, DWORD length, DWORD, DWORD) {
  Sink* sink = reinterpret_cast<Sink*>(user);
  DWORD written = 0;
  ::WriteFile(sink->file, chunk, length, &written, nullptr);
  sink->bytes += written;
  return 0;
}

void OnComplete(HINTERNET, uint64_t user, const char*, DWORD, DWORD error) {
  Sink* sink = reinterpret_cast<Sink*>(user);
  sink->error = error;
  ::SetEvent(sink->done.get());
}

// Bytes written, or -1 on failure.
long long ThroughControl(const std::string& url, HANDLE file) {
  Sink sink{file};
  net::WinInetControl control;
  control.SetHttpVersion("HTTP/1.1");
  control.SetBufferSize(kBufferSize);
  control.SetEventHandler("FileDownload", &OnChunk);
  control.SetEventHandler("DownloadComplete", &OnComplete);
  control.HttpGetAsync(url, reinterpret_cast<uint64_t>(&sink), 0, 0);
  ::WaitForSingleObject(sink.done.get(), INFINITE);
  return sink.error == 0 ? static_cast<long long>(sink.bytes) : -1;
}

long long ThroughLoop(const std::string& url, HANDLE file) {
  const net::UrlParts parts = net::SplitUrl(url);
  net::UniqueInternet internet(::InternetOpenA("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                                               INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  net::UniqueInternet connection(::InternetConnectA(internet.get(), parts.host.c_str(),
                                                    static_cast<INTERNET_PORT>(parts.port), nullptr,
                                                    nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  const char* accept[] = {"*/*", nullptr};
  net::UniqueInternet request(
      ::HttpOpenRequestA(connection.get(), "GET", parts.path.c_str(), "HTTP/1.1", nullptr, accept,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION, 0));
  if (!request || !::HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return -1;
  static char buffer[kBufferSize];
  long long total = 0;
  DWORD n = 0;
  while (::InternetReadFile(request.get(), buffer, kBufferSize, &n) && n > 0) {
    DWORD written = 0;
    ::WriteFile(file, buffer, n, &written, nullptr);
    total += written;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "control") != 0 && std::strcmp(argv[1], "loop") != 0)) {
    std::fprintf(stderr, "usage: %s control|loop <url> <output file>\n", argv[0]);
    return 2;
  }
  base::UniqueFile file(::CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 1;

  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  const long long bytes = std::strcmp(argv[1], "control") == 0 ? ThroughControl(argv[2], file.get())
                                                               : ThroughLoop(argv[2], file.get());
  ::QueryPerformanceCounter(&end);
  file.reset();

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
  std::printf("%.4f %lld %llu\n",
              static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart, bytes,
              static_cast<unsigned long long>(memory.PeakWorkingSetSize));
  return bytes < 0 ? 1 : 0;
}
