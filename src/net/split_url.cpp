#include "net/split_url.h"

#include <cctype>

namespace net {
namespace {

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// The value of the leading decimal digits; none gives 0. Saturates rather than wrapping so that a
// huge number stays out of the port range instead of landing on a real port.
uint32_t LeadingNumber(std::string_view text) {
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return UINT32_MAX;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

UrlParts SplitUrl(std::string_view url, std::string_view knownHost) {
  UrlParts parts;
  std::string_view rest = TrimSpaces(url);
  bool hasScheme = true;
  if (StartsWithNoCase(rest, "http://")) {
    rest.remove_prefix(7);
  } else if (StartsWithNoCase(rest, "https://")) {
    rest.remove_prefix(8);
    parts.port = 443;
    parts.secure = true;
  } else {
    hasScheme = false;
  }

  if (!knownHost.empty() && !hasScheme) {
    rest = TrimSpaces(rest);
    if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    parts.host = std::string(knownHost);
    parts.path = std::string(rest);
    return parts;
  }

  std::string_view host = rest;
  const size_t slash = rest.find('/');
  if (slash != std::string_view::npos) {
    host = rest.substr(0, slash);
    parts.path = std::string(TrimSpaces(rest.substr(slash + 1)));
  }
  host = TrimSpaces(host);
  const size_t colon = host.find(':');
  if (colon != std::string_view::npos) {
    parts.port = LeadingNumber(host.substr(colon + 1));
    host = host.substr(0, colon);
  }
  parts.host = std::string(host);
  return parts;
}

}  // namespace net
