// Records the download control's events for tests: attach it to a control, pass Value() as the user
// value, and read the events once the transfer has completed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "net/wininet_control.h"

namespace nettest {

struct Event {
  enum Kind { kHeaders, kBegin, kChunk, kComplete } kind;
  HINTERNET internet = nullptr;
  uint64_t user = 0;
  std::string data;  // headers, chunk or body
  DWORD received = 0;
  DWORD total = 0;
  DWORD error = 0;
  DWORD threadId = 0;
};

class DownloadRecorder {
 public:
  DownloadRecorder() : done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  uint64_t Value() { return reinterpret_cast<uint64_t>(this); }
  // The FILEDOWNLOAD handler returns nonzero on this chunk (1-based); 0 never stops.
  void StopOnChunk(int chunk) { stopOnChunk_ = chunk; }
  void Attach(net::WinInetControl& control) {
    control.SetEventHandler("HEADERS", &OnHeaders);
    control.SetEventHandler("DownloadBegin", &OnBegin);
    control.SetEventHandler("FileDownload", &OnChunk);
    control.SetEventHandler("DownloadComplete", &OnComplete);
  }
  bool WaitComplete(DWORD ms) { return ::WaitForSingleObject(done_.get(), ms) == WAIT_OBJECT_0; }

  std::vector<Event> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::vector<Event::Kind> Kinds() {
    std::vector<Event::Kind> kinds;
    for (const Event& e : Events()) kinds.push_back(e.kind);
    return kinds;
  }
  std::vector<Event> OfKind(Event::Kind kind) {
    std::vector<Event> found;
    for (const Event& e : Events()) {
      if (e.kind == kind) found.push_back(e);
    }
    return found;
  }
  Event Completion() {
    auto found = OfKind(Event::kComplete);
    return found.empty() ? Event{Event::kComplete, nullptr, 0, {}, 0, 0, 0, 0} : found.back();
  }
  std::string ChunksJoined() {
    std::string all;
    for (const Event& e : OfKind(Event::kChunk)) all += e.data;
    return all;
  }

  static void OnHeaders(HINTERNET internet, uint64_t user, const char* text, DWORD length) {
    Self(user)->Add({Event::kHeaders, internet, user, std::string(text, length), 0, 0, 0, 0});
  }
  static void OnBegin(HINTERNET internet, uint64_t user, DWORD total) {
    Self(user)->Add({Event::kBegin, internet, user, {}, 0, total, 0, 0});
  }
  static int OnChunk(HINTERNET internet, uint64_t user, const char* chunk, DWORD length,
                     DWORD received, DWORD total) {
    DownloadRecorder* self = Self(user);
    const int count = self->Add(
        {Event::kChunk, internet, user, std::string(chunk, length), received, total, 0, 0});
    return self->stopOnChunk_ != 0 && count == self->stopOnChunk_ ? 1 : 0;
  }
  static void OnComplete(HINTERNET internet, uint64_t user, const char* body, DWORD length,
                         DWORD error) {
    DownloadRecorder* self = Self(user);
    self->Add({Event::kComplete, internet, user, std::string(body, length), 0, 0, error, 0});
    ::SetEvent(self->done_.get());
  }

 private:
  static DownloadRecorder* Self(uint64_t user) { return reinterpret_cast<DownloadRecorder*>(user); }
  // Returns how many events of this kind there are now.
  int Add(Event event) {
    event.threadId = ::GetCurrentThreadId();
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    int count = 0;
    for (const Event& e : events_) count += e.kind == event.kind;
    return count;
  }

  base::UniqueKernelHandle done_;
  std::mutex mutex_;
  std::vector<Event> events_;
  int stopOnChunk_ = 0;
};

}  // namespace nettest
