// The entry an open archive (minizip) stands on, read the way every part of the install road
// reads it: its information record and its name as the archive means it.
#pragma once

#include <unzip.h>

#include <string>

namespace install {

// Reads the current entry's information record and its name (DecodeEntryName, from the name's
// bytes, its flags and its central extra field). `name` is empty when those bytes are no valid
// text, which no name check accepts. False when the archive cannot be read there.
bool ReadCurrentEntry(unzFile archive, unz_file_info64& info, std::wstring& name);

}  // namespace install
