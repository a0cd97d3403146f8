#include "support/archive_builder.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>

#include "base/unique_handle.h"

namespace testsupport {

namespace {

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

constexpr uint32_t kDosTime = (12u << 11);                              // 12:00:00
constexpr uint32_t kDosDate = ((2024u - 1980u) << 9) | (1u << 5) | 1u;  // 2024-01-01

}  // namespace

ZipBuilder& ZipBuilder::Add(std::string name, std::string data, uint16_t method,
                            std::optional<uint32_t> declaredSize) {
  entries_.push_back({std::move(name), std::move(data), method, declaredSize});
  return *this;
}

ZipBuilder& ZipBuilder::AddFolder(std::string name, std::string data) {
  entries_.push_back({std::move(name), std::move(data), kZipStored, std::nullopt});
  return *this;
}

BuiltZip ZipBuilder::Build() const {
  BuiltZip zip;
  std::string central;
  size_t names = 0;  // a big archive is made in place rather than by doubling
  for (const Entry& entry : entries_) names += entry.name.size();
  central.reserve(names + 46 * entries_.size());
  zip.bytes.reserve(central.capacity() + names + 30 * entries_.size() + 22);
  for (const Entry& entry : entries_) {
    const std::string stored = entry.method == kZipDeflated ? RawDeflate(entry.data) : entry.data;
    const uint32_t size = entry.declaredSize.value_or(static_cast<uint32_t>(entry.data.size()));
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                    static_cast<uInt>(std::min<size_t>(size, entry.data.size()))));
    const uint32_t localOffset = static_cast<uint32_t>(zip.bytes.size());
    auto common = [&](std::string& out) {
      Put16(out, 20);  // version needed: 2.0
      Put16(out, 0);   // flags
      Put16(out, entry.method);
      Put16(out, kDosTime);
      Put16(out, kDosDate);
      Put32(out, crc);
      Put32(out, static_cast<uint32_t>(stored.size()));
      Put32(out, size);
      Put16(out, static_cast<uint32_t>(entry.name.size()));
      Put16(out, 0);  // extra field length
    };
    Put32(zip.bytes, 0x04034b50);
    common(zip.bytes);
    zip.bytes += entry.name;
    zip.dataOffsets.push_back(zip.bytes.size());
    zip.bytes += stored;

    Put32(central, 0x02014b50);
    Put16(central, 20);  // made by: MS-DOS, 2.0
    common(central);
    Put16(central, 0);  // comment length
    Put16(central, 0);  // disk number
    Put16(central, 0);  // internal attributes
    Put32(central, 0);  // external attributes
    Put32(central, localOffset);
    central += entry.name;
  }
  const uint32_t centralOffset = static_cast<uint32_t>(zip.bytes.size());
  zip.bytes += central;
  Put32(zip.bytes, 0x06054b50);
  Put16(zip.bytes, 0);
  Put16(zip.bytes, 0);
  Put16(zip.bytes, static_cast<uint32_t>(entries_.size()));
  Put16(zip.bytes, static_cast<uint32_t>(entries_.size()));
  Put32(zip.bytes, static_cast<uint32_t>(central.size()));
  Put32(zip.bytes, centralOffset);
  Put16(zip.bytes, 0);  // comment length
  return zip;
}

std::string IncompressibleBytes(size_t count, uint32_t seed) {
  std::string bytes(count, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (char& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string ReadBinaryFile(const std::wstring& path) {
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char chunk[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
    bytes.append(chunk, read);
  }
  return bytes;
}

}  // namespace testsupport
