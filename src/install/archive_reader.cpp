#include "install/archive_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace install {

namespace {

// minizip reads the central directory a byte at a time: a buffer spares it a call per byte.
constexpr uint32_t kBufferBytes = 64 * 1024;

struct Stream {
  HANDLE file = nullptr;
  uint64_t size = 0;
  uint64_t position = 0;
  uint64_t bufferStart = 0;
  uint32_t buffered = 0;
  bool failed = false;
  unsigned char buffer[kBufferBytes];
};

// Reads at most `count` bytes from the position, the whole request at once when it is larger
// than the buffer.
uLong Read(Stream& stream, void* out, uLong count) {
  auto* to = static_cast<unsigned char*>(out);
  uLong done = 0;
  while (done < count && stream.position < stream.size) {
    const uint64_t within = stream.position - stream.bufferStart;
    if (stream.position >= stream.bufferStart && within < stream.buffered) {
      const auto take =
          static_cast<uLong>(std::min<uint64_t>(count - done, stream.buffered - within));
      std::memcpy(to + done, stream.buffer + within, take);
      done += take;
      stream.position += take;
      continue;
    }
    const uint64_t left = stream.size - stream.position;
    if (count - done >= kBufferBytes) {  // a large read goes straight to the caller
      const auto take = static_cast<uint32_t>(std::min<uint64_t>(count - done, left));
      if (!ReadAt(stream.file, stream.position, to + done, take)) break;
      done += take;
      stream.position += take;
      continue;
    }
    const auto fill = static_cast<uint32_t>(std::min<uint64_t>(kBufferBytes, left));
    if (!ReadAt(stream.file, stream.position, stream.buffer, fill)) break;
    stream.bufferStart = stream.position;
    stream.buffered = fill;
  }
  if (done < count && stream.position < stream.size) stream.failed = true;
  return done;
}

// The callbacks: C code calls them, so nothing may throw out of them.
voidpf ZCALLBACK OpenStream(voidpf opaque, const void*, int mode) noexcept {
  uint64_t size = 0;
  if ((mode & ZLIB_FILEFUNC_MODE_WRITE) || !SizeOf(opaque, size)) return nullptr;
  Stream* stream = new (std::nothrow) Stream;
  if (stream) {
    stream->file = opaque;
    stream->size = size;
  }
  return stream;
}

uLong ZCALLBACK ReadStream(voidpf, voidpf stream, void* bytes, uLong count) noexcept {
  return Read(*static_cast<Stream*>(stream), bytes, count);
}

uLong ZCALLBACK WriteStream(voidpf, voidpf, const void*, uLong) noexcept {
  return 0;  // an archive is only read
}

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf stream) noexcept {
  return static_cast<Stream*>(stream)->position;
}

long ZCALLBACK SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) noexcept {
  Stream& s = *static_cast<Stream*>(stream);
  uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      base = 0;
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      base = s.position;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      base = s.size;
      break;
    default:
      return -1;
  }
  // minizip steps back with a relative seek whose offset is a negative number in an unsigned
  // type (after reading an entry's extra field): two's complement, as the system's seek reads it.
  const auto step = static_cast<int64_t>(offset);
  if (base > s.size) return -1;
  if (step < 0 ? static_cast<uint64_t>(-(step + 1)) + 1 > base : offset > s.size - base) {
    return -1;  // not before the start, not past the end
  }
  s.position = base + offset;  // wraps back by |step| when step is negative
  return 0;
}

int ZCALLBACK CloseStream(voidpf, voidpf stream) noexcept {
  delete static_cast<Stream*>(stream);  // the handle is the caller's
  return 0;
}

int ZCALLBACK StreamError(voidpf, voidpf stream) noexcept {
  return static_cast<Stream*>(stream)->failed ? 1 : 0;
}

}  // namespace

bool ReadAt(HANDLE file, uint64_t offset, void* bytes, uint32_t count) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  return ::ReadFile(file, bytes, count, &read, &at) && read == count;
}

bool SizeOf(HANDLE file, uint64_t& size) {
  LARGE_INTEGER bytes{};
  if (!::GetFileSizeEx(file, &bytes)) return false;
  size = static_cast<uint64_t>(bytes.QuadPart);
  return true;
}

UniqueArchive OpenArchive(HANDLE file) {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = OpenStream;
  functions.zread_file = ReadStream;
  functions.zwrite_file = WriteStream;
  functions.ztell64_file = TellStream;
  functions.zseek64_file = SeekStream;
  functions.zclose_file = CloseStream;
  functions.zerror_file = StreamError;
  functions.opaque = file;
  return UniqueArchive(unzOpen2_64(file, &functions));
}

}  // namespace install
