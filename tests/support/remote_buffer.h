// Memory inside another process, for the control messages whose pointers the system does
// not carry across processes (status bar, tab control, tooltips).
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/unique_handle.h"

namespace testsupport {

class RemoteBuffer {
 public:
  // `size` bytes of zeroed read/write memory in the process that owns `window`.
  RemoteBuffer(HWND window, size_t size);
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer();

  explicit operator bool() const { return address_ != nullptr; }
  // The address as the other process sees it, `offset` bytes in.
  void* At(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
  LPARAM AsLParam(size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }

  bool Write(const void* data, size_t size, size_t offset = 0) const;
  bool Read(void* data, size_t size, size_t offset = 0) const;
  template <typename T>
  bool WriteValue(const T& value, size_t offset = 0) const {
    return Write(&value, sizeof(T), offset);
  }
  template <typename T>
  bool ReadValue(T& value, size_t offset = 0) const {
    return Read(&value, sizeof(T), offset);
  }

 private:
  base::UniqueKernelHandle process_;
  void* address_ = nullptr;
  size_t size_ = 0;
};

}  // namespace testsupport
