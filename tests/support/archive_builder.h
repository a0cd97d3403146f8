// Writes zip archives for tests, byte by byte, so that a test can also make the damaged and
// hostile ones a real download may bring: raw name bytes in any code page, unsupported
// methods, corrupted data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

inline constexpr uint16_t kZipStored = 0;
inline constexpr uint16_t kZipDeflated = 8;

struct BuiltZip {
  std::string bytes;                // the whole archive
  std::vector<size_t> dataOffsets;  // where each entry's stored (compressed) data begins
};

class ZipBuilder {
 public:
  // A file entry. `name` is stored as the bytes given (no code page is implied); `data` is the
  // content, deflated for kZipDeflated and stored as given for any other method number.
  // `declaredSize`, when given, is the size both headers claim instead of the data's own, with
  // the checksum of the data's first `declaredSize` bytes: an archive that lies.
  ZipBuilder& Add(std::string name, std::string data, uint16_t method = kZipDeflated,
                  std::optional<uint32_t> declaredSize = std::nullopt);
  // A folder entry: `name` should end with "/"; `data` is normally empty.
  ZipBuilder& AddFolder(std::string name, std::string data = {});
  BuiltZip Build() const;

 private:
  struct Entry {
    std::string name;
    std::string data;
    uint16_t method;
    std::optional<uint32_t> declaredSize;
  };
  std::vector<Entry> entries_;
};

// `count` bytes that deflate barely shrinks (a fixed pseudo-random sequence from `seed`).
std::string IncompressibleBytes(size_t count, uint32_t seed);
// The whole file; empty when it cannot be read.
std::string ReadBinaryFile(const std::wstring& path);

}  // namespace testsupport
