// Installed SketchUp versions, as SketchUp registers them under HKLM\SOFTWARE\SketchUp.
// Read only; every call reads the registry afresh.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace environment {

// The names of the version subkeys that contain "SketchUp" (letter case as written) and whose
// install folder exists, in the registry's enumeration order.
std::vector<std::wstring> ReadSketchUpVersions();

// ReadSketchUpVersions in the order the window's version lists show them: the lists sort their
// lines (LBS_SORT), which compares as CompareString in the user's locale, ignoring case. A
// program without a window names the versions in the same order.
std::vector<std::wstring> ReadSketchUpVersionsInListOrder();

// The install folder registered for `version` (the default value of its "InstallLocation"
// subkey, up to 259 characters), followed directly by "SketchUp.exe" when `programFile` is set.
// Empty when the value cannot be read.
std::wstring GetInstallLocation(const std::wstring& version, bool programFile);

// The last four characters of a version entry (all of a shorter one) read as a decimal number
// the way the C runtime does: leading blanks skipped, optional sign, stops at the first
// non-digit; no digit at all gives 0.
int VersionYear(std::wstring_view entry);

}  // namespace environment
