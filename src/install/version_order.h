// Ordering the plug-in's version designations: dotted decimal numbers, "1.0.10" after "1.0.9".
#pragma once

#include <string_view>

namespace install {

// Whether `version` is one or more decimal numbers separated by single dots ("1", "1.0.9"):
// the only form the release record carries and the installed-version record keeps.
bool IsDottedVersion(std::string_view version);

// Negative, zero or positive as `a` is older than, the same as, or newer than `b`, number by
// number from the left; missing numbers count as 0 ("1.0" is "1.0.0") and leading zeros are no
// part of the value. Numbers of any length compare correctly. Both must be dotted versions.
int CompareVersions(std::string_view a, std::string_view b);

}  // namespace install
