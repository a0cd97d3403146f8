// A small blocking HTTP GET that returns the body as raw bytes.
#pragma once

#include <string>
#include <string_view>

namespace net {

// GETs `url` and returns the body bytes exactly as received, whatever the status code; empty when
// anything fails (and, indistinguishably, for an empty body). Empty referrer, user name or password
// are not passed on. Blocks for the whole exchange, with WinInet's default time-outs; safe to call
// from several threads at once.
std::string HttpGetText(std::string_view url, std::string_view referrer = {},
                        std::string_view userName = {}, std::string_view password = {});

}  // namespace net
