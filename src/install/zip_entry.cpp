#include "install/zip_entry.h"

#include <cstdint>

#include "install/archive_entry_name.h"

namespace install {

bool ReadCurrentEntry(unzFile archive, unz_file_info64& info, std::wstring& name) {
  info = {};
  name.clear();
  // First the record, for the lengths of the name and of the extra field; then both in full.
  if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return false;
  }
  std::string raw(info.size_filename, '\0'), extra(info.size_file_extra, '\0');
  if (unzGetCurrentFileInfo64(archive, &info, raw.data(), static_cast<uLong>(raw.size()),
                              extra.data(), static_cast<uLong>(extra.size()), nullptr,
                              0) != UNZ_OK) {
    return false;
  }
  name = DecodeEntryName(raw, static_cast<uint16_t>(info.flag), extra).value_or(std::wstring());
  return true;
}

}  // namespace install
