// A small blocking HTTP GET that returns the body as raw bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace net {

// GETs `url` (direct first, then through the system's proxy: internet_session.h) and returns the
// body bytes exactly as received, whatever the status code but a proxy's demand for credentials
// (407); empty when anything fails (and, indistinguishably, for an empty body). A body longer than
// `maxBytes` fails too: an announced length over it is refused before the body is read, and an
// unannounced one is read one byte past the bound at most, the connection then dropped with the
// rest unread. Empty referrer, user name or password are not passed on. Blocks for the whole
// exchange, with WinInet's default time-outs; safe to call from several threads at once.
std::string HttpGetText(std::string_view url, size_t maxBytes, std::string_view referrer = {},
                        std::string_view userName = {}, std::string_view password = {});

}  // namespace net
