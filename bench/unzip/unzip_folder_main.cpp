// Extracts one archive into one existing folder with UnzipToFolder; exit code 0 on success.
// Usage: bench_unzip_folder <archive> <destination folder>
#include <windows.h>

#include <string>

#include "base/text.h"
#include "install/unzip_to_folder.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  return install::UnzipToFolder(argv[1], argv[2]) ? 0 : 1;
}
