// Opening WinInet's session, connection and request the same way for every exchange of the
// program: one agent, a direct connection, HTTP or HTTPS.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/internet_handle.h"
#include "net/split_url.h"

namespace net {

// A session of the program's own agent, connecting directly (no proxy).
UniqueInternet OpenInternet();

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

}  // namespace net
