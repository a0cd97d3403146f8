// Opening WinInet's session, connection and request the same way for every exchange of the
// program: one agent, HTTP or HTTPS, and one way to the server for the whole run. Every request
// goes direct first; when the server cannot be reached directly, it is sent once more through
// the proxy configured in Windows (Internet Options, a PAC script or auto-detection), and once a
// request got through that way, the rest of the run goes through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/internet_handle.h"
#include "net/split_url.h"

namespace net {

enum class Route { kDirect, kSystemProxy };

// A session of the program's own agent: connecting directly, or through the system's proxy.
UniqueInternet OpenInternet(Route route);

// Whether a failed send says the server could not be reached at all (its name does not resolve,
// the connection is refused, or it times out before any response): the errors after which the
// proxy is tried. An HTTP error is an answer, never one of them.
bool IsUnreachable(DWORD error);

// One request to send, with everything it needs on whichever route it takes.
struct RequestOptions {
  std::string verb = "GET";
  UrlParts url;
  std::string httpVersion, referrer, userName, password;  // empty: WinInet's default or none
  DWORD flags = 0;
  DWORD_PTR context = 0;
  DWORD timeoutMs = 0;  // connect, send and receive, each; 0 keeps WinInet's defaults
  INTERNET_STATUS_CALLBACK status = nullptr;  // installed on the session
  std::string headers;                        // extra header lines, each ending in CRLF
  std::string_view body;
};

// The handles of a sent request (closed request first, session last) and the error of the send,
// 0 when a response came (of whatever status).
struct SentRequest {
  UniqueInternet internet;
  UniqueInternet connection;
  UniqueInternet request;
  DWORD error = 0;
};

// Sends `options` on the run's route (see above); safe to call from several threads at once.
SentRequest SendRequest(const RequestOptions& options);

// An HTTP connection to the host and port of `url`; an empty user name or password is none.
UniqueInternet ConnectHttp(HINTERNET internet, const UrlParts& url, const std::string& userName,
                           const std::string& password, DWORD_PTR context);

// A request for `url`'s path accepting any type; secure when the URL is, with the system's
// certificate checks, never relaxed (no flag that ignores a certificate error or a redirect from
// HTTPS to HTTP is ever passed). An empty HTTP version
// or referrer is WinInet's default or none.
UniqueInternet OpenHttpRequest(HINTERNET connection, const std::string& verb, const UrlParts& url,
                               const std::string& httpVersion, const std::string& referrer,
                               DWORD flags, DWORD_PTR context);

// The Content-Length the response to `request` announces; nothing when it announces none or
// no number. A length beyond 64 bits reads as UINT64_MAX: more than any bound.
std::optional<uint64_t> ContentLengthOf(HINTERNET request);

// The response's status code; 0 when there is none.
DWORD StatusCodeOf(HINTERNET request);

// 407: a proxy on the way wants credentials, which the program never has.
inline constexpr DWORD kProxyAuthenticationRequired = 407;

}  // namespace net
