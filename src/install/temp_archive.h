// The file in the user's temporary folder that receives the downloaded plug-in archive.
#pragma once

#include <optional>
#include <string>

#include "base/unique_handle.h"

namespace install {

// The temporary folder as GetTempPathW gives it (with its trailing "\") followed by
// "\brindo.tmp"; the doubled separator is harmless. UTF-16 throughout, so a profile path
// outside the ANSI code page works. Nothing when the folder is unknown.
std::optional<std::wstring> TempArchive();

// Creates (or empties) the temporary archive for writing. Nobody else may read or write it,
// but it may be deleted while open: the file then goes when its handle is closed.
base::UniqueFile CreateTempArchive(const std::wstring& path);

}  // namespace install
