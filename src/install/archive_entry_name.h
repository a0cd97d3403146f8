// The rules an entry name of a downloaded plug-in archive must meet before anything is
// written. The archive comes over plain HTTP, so its names are untrusted input.
#pragma once

#include <string>
#include <string_view>

namespace install {

// Whether `name` (already converted from the ANSI code page, so that a GBK trail byte 0x5C is
// part of its character and not a separator) names something inside the destination folder
// that Windows stores under exactly that name. Refused: the empty name; absolute names (a
// leading "/" or "\"); any ":" (drive letters and NTFS streams); characters Windows forbids in
// names (control characters and < > " | ? *); a component ending in "." or " " (which covers
// "." and ".." and the names Windows would silently shorten); and reserved device names
// (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9, with or without an extension).
bool IsSafeEntryName(std::wstring_view name);

// A folder entry's name ends with a separator ("/", or the "\" some Windows tools write).
bool IsFolderEntryName(std::wstring_view name);

// The name as a relative Windows path: components joined with "\" and empty components
// dropped. Only meaningful for names that IsSafeEntryName accepts.
std::wstring ToRelativePath(std::wstring_view name);

}  // namespace install
