// The rules an entry name of a downloaded plug-in archive must meet before anything is
// written. The archive comes over plain HTTP, so its names are untrusted input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace install {

// Entry names are cut to their first 512 bytes.
inline constexpr size_t kMaxEntryNameBytes = 512;

// An entry's name as its archive means it, from the name's raw bytes, the entry's general-purpose
// flags and its extra field (the central directory's): UTF-8 when flag bit 11 says so (7-Zip,
// libarchive, Python, .NET, macOS); else the UTF-8 of a valid Info-ZIP Unicode path field
// (0x7075: version 1, CRC-32 of the raw name); else GBK, whatever the system's code page. Only
// the bytes before a zero byte count, cut to kMaxEntryNameBytes without splitting a character.
// Nothing when those bytes are not valid text in their encoding.
std::optional<std::wstring> DecodeEntryName(std::string_view raw, uint16_t flags,
                                            std::string_view extraField);

// Whether `name` (already decoded, so that a GBK trail byte 0x5C is part of its character and
// not a separator) names something inside the destination folder
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
