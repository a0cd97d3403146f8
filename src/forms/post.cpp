#include "forms/post.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <mutex>

#include "forms/private_messages.h"

namespace forms {

namespace {

// The message carries only a number; the queue owns the task until its thread takes it. So a
// task never depends on the message arriving: one whose message cannot be posted is taken back
// by the poster, and one whose window goes first is dropped with the window.
struct Queued {
  HWND window;
  std::unique_ptr<Task> task;
};

using Tasks = std::map<uint64_t, Queued>;  // by number: in the order posted

struct Queue {
  std::mutex mutex;
  uint64_t lastNumber = 0;
  Tasks tasks;
};

// Never destroyed: a worker may still post while the process ends.
Queue& TheQueue() {
  static Queue& queue = *new Queue;
  return queue;
}

// Moves into `out` the tasks of `window` (all of them, or the one numbered `number`), and those
// of windows that are no longer there: their messages went with them. Moving a map's node
// allocates nothing, so nothing is left half taken. The caller destroys them outside the lock.
void TakeOut(HWND window, const uint64_t* number, Tasks& out) {
  Queue& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  for (auto entry = queue.tasks.begin(); entry != queue.tasks.end();) {
    const auto next = std::next(entry);
    const bool mine = entry->second.window == window && (!number || entry->first == *number);
    if (mine || !::IsWindow(entry->second.window)) out.insert(queue.tasks.extract(entry));
    entry = next;
  }
}

}  // namespace

bool PostTask(HWND window, std::unique_ptr<Task> task) noexcept {
  if (!window || !task) return false;
  Queue& queue = TheQueue();
  uint64_t number = 0;
  try {
    std::lock_guard lock(queue.mutex);
    number = ++queue.lastNumber;
    queue.tasks.emplace(number, Queued{window, std::move(task)});
  } catch (...) {
    return false;  // no memory: the task went with the failed insertion
  }
  if (::PostMessageW(window, messages::kRunPostedTask, static_cast<WPARAM>(number), 0)) {
    return true;
  }
  // The window is gone or its queue is full: the task is taken back and destroyed unrun. No
  // thread can have run it (only its own message runs it); it may be gone already, dropped
  // with its window.
  Tasks unrun;
  try {
    TakeOut(window, &number, unrun);
  } catch (...) {  // the lock failed: the task is dropped with its window, or stays queued
  }
  return false;
}

void RunPostedTask(HWND window, WPARAM number) noexcept {
  const uint64_t wanted = number;
  Tasks taken;
  try {
    TakeOut(window, &wanted, taken);
  } catch (...) {
    return;
  }
  for (auto& [taskNumber, queued] : taken) {
    if (queued.window != window) continue;  // another window's leftover: only destroyed
    try {
      queued.task->Run();
    } catch (...) {
      // Only memory can run out in a task: its work is dropped, as a handler's would be.
    }
  }
}

void DropPostedTasks(HWND window) noexcept {
  Tasks dropped;
  try {
    TakeOut(window, nullptr, dropped);
  } catch (...) {
  }
}

}  // namespace forms
