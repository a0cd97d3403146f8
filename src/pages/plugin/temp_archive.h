// The file in the user's temporary folder that receives the downloaded plug-in archive.
#pragma once

#include <optional>
#include <string>

#include "base/unique_handle.h"

namespace plugin_page {

struct TempArchivePath {
  std::string ansi;   // for the archive reader, which takes ANSI paths
  std::wstring wide;  // the same path, for the file calls
};

// The temporary folder as GetTempPathA gives it (with its trailing "\") followed by
// "\brindo.tmp"; the doubled separator is harmless. Nothing when the folder is unknown.
std::optional<TempArchivePath> TempArchive();

// Creates (or empties) the temporary archive for writing, shared with nobody.
base::UniqueFile CreateTempArchive(const TempArchivePath& path);

}  // namespace plugin_page
