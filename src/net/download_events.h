// The download control's events: handler types, the set a request carries, and the tagged handler
// that SetEventHandler takes.
//
// Every handler is a plain function called on the thread that runs the transfer (the worker for the
// asynchronous calls, the caller for the blocking ones). The first two arguments are always the
// WinInet session handle of the transfer (null when even opening it failed) and the caller's user
// value, handed back unchanged. Byte pointers are owned by the control and valid only during the
// call.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <variant>

namespace net {

// "HEADERS": the raw response headers, lines ending in CRLF.
using HeadersHandler = void (*)(HINTERNET internet, uint64_t user, const char* headers,
                                DWORD length);
// "DOWNLOADBEGIN": the response's Content-Length, 0 when it has none.
using DownloadBeginHandler = void (*)(HINTERNET internet, uint64_t user, DWORD total);
// "FILEDOWNLOAD": one chunk; `received` counts this chunk too. Nonzero stops the transfer before
// the chunk is stored.
using FileDownloadHandler = int (*)(HINTERNET internet, uint64_t user, const char* chunk,
                                    DWORD length, DWORD received, DWORD total);
// "DOWNLOADCOMPLETE": raised exactly once per transfer, however it ends. When a FILEDOWNLOAD
// handler is attached, the caller took the data chunk by chunk and the body is empty: nothing of it
// is kept in memory. Otherwise the body is max(total, bytes stored) long, so a short response is
// padded with zero bytes. `error` is 0 after the end of the data or a stop asked for by
// FILEDOWNLOAD; otherwise the WinInet/Win32 error that ended it: a failed open, connect or send
// (nothing was received, no HEADERS or DOWNLOADBEGIN came), a body over the control's bound
// (ERROR_FILE_TOO_LARGE; no DOWNLOADBEGIN when its announced length is over it), a failed read
// such as a time-out, a connection closed before the promised Content-Length, or a worker that
// could not be started.
using DownloadCompleteHandler = void (*)(HINTERNET internet, uint64_t user, const char* body,
                                         DWORD length, DWORD error);
// "INTERNETSTATUS": WinInet's own status callback, installed on the session handle.
using InternetStatusHandler = INTERNET_STATUS_CALLBACK;

// The handlers one transfer raises; null slots are not called.
struct EventHandlers {
  InternetStatusHandler internetStatus = nullptr;
  DownloadBeginHandler downloadBegin = nullptr;
  DownloadCompleteHandler downloadComplete = nullptr;
  FileDownloadHandler fileDownload = nullptr;
  HeadersHandler headers = nullptr;
};

// One handler of any of the five kinds, or none (std::monostate). Converts implicitly from a
// function of a matching type, e.g. SetEventHandler("FileDownload", &OnChunk).
using EventHandler = std::variant<std::monostate, InternetStatusHandler, DownloadBeginHandler,
                                  DownloadCompleteHandler, FileDownloadHandler, HeadersHandler>;

}  // namespace net
