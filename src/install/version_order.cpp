#include "install/version_order.h"

namespace install {

namespace {

// The next number of `rest` without its leading zeros, `rest` advanced past it and its dot.
std::string_view NextNumber(std::string_view& rest) {
  const size_t dot = rest.find('.');
  std::string_view number = rest.substr(0, dot);
  rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
  while (!number.empty() && number.front() == '0') number.remove_prefix(1);
  return number;
}

}  // namespace

bool IsDottedVersion(std::string_view version) {
  bool digitSeen = false;
  for (const char c : version) {
    if (c >= '0' && c <= '9') {
      digitSeen = true;
    } else if (c == '.' && digitSeen) {
      digitSeen = false;
    } else {
      return false;
    }
  }
  return digitSeen;
}

int CompareVersions(std::string_view a, std::string_view b) {
  while (!a.empty() || !b.empty()) {
    const std::string_view x = NextNumber(a), y = NextNumber(b);
    // Without leading zeros, the longer number is the larger; of equal length, the text decides.
    if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
    const int order = x.compare(y);
    if (order != 0) return order < 0 ? -1 : 1;
  }
  return 0;
}

}  // namespace install
