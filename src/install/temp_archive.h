// The file in the temporary folder that receives the plug-in archive, and that alone is read
// from then on: nothing is opened by its name again.
#pragma once

#include <optional>
#include <string>

#include "base/unique_handle.h"

namespace install {

// The temporary folder as GetTempPathW gives it (with its trailing "\") followed by
// "\brindo.tmp"; the doubled separator is harmless. UTF-16 throughout, so a profile path
// outside the ANSI code page works. Nothing when the folder is unknown.
std::optional<std::wstring> TempArchive();

// Opens an empty temporary archive for reading and writing by this handle alone: no other
// process may open it while the handle lives (no sharing, deletion included), and it is deleted
// when the handle closes, at the latest when the process ends.
//
// The temporary folder may be shared with other users (a run as the system account uses the
// system's), so a file already at `path` is taken over only when this account owns it, it is a
// plain file with no other name, and nobody else holds it open; it is then emptied. Otherwise a
// new file with a name of its own is made beside it, which only this account may open.
// `used` receives where the archive lies. An empty handle when no file could be made.
base::UniqueFile CreateTempArchive(const std::wstring& path, std::wstring& used);

}  // namespace install
