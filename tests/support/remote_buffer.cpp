#include "support/remote_buffer.h"

namespace testsupport {

RemoteBuffer::RemoteBuffer(HWND window, size_t size) {
  DWORD pid = 0;
  if (!::GetWindowThreadProcessId(window, &pid) || size == 0) return;
  process_.reset(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  if (!process_) return;
  // Fresh pages are zero-filled, so unwritten fields read as 0 in the other process.
  address_ =
      ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (address_) size_ = size;
}

RemoteBuffer::~RemoteBuffer() {
  if (address_) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
  if (!address_ || offset > size_ || size > size_ - offset) return false;
  SIZE_T done = 0;
  return ::WriteProcessMemory(process_.get(), At(offset), data, size, &done) && done == size;
}

bool RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
  if (!address_ || offset > size_ || size > size_ - offset) return false;
  SIZE_T done = 0;
  return ::ReadProcessMemory(process_.get(), At(offset), data, size, &done) && done == size;
}

}  // namespace testsupport
