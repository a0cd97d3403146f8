// The one road from a worker thread to a window: work is posted to the thread that owns the
// window and runs there, from the form's window procedure (window_proc.h), in the order posted.
// A worker never touches a window itself.
#pragma once

#include <windows.h>

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace forms {

// A piece of work for a window's thread: run once there, or destroyed unrun.
class Task {
 public:
  virtual ~Task() = default;
  virtual void Run() = 0;
};

// Hands `task` to the thread that owns `window`, a form served by FormWindowProc. True once it
// is handed over: it runs there unless the window is destroyed first, and then it is destroyed
// unrun with the window. False when the window is gone or its queue is full: the task is
// destroyed unrun at once.
bool PostTask(HWND window, std::unique_ptr<Task> task) noexcept;

namespace detail {
template <typename Work>
class WorkTask final : public Task {
 public:
  explicit WorkTask(Work&& work) noexcept : work_(std::move(work)) {}
  void Run() override { work_(); }

 private:
  Work work_;
};
}  // namespace detail

// The same for any callable without arguments (move-only ones too); false as well when there
// is no memory for it.
template <typename Work>
bool Post(HWND window, Work work) noexcept {
  static_assert(std::is_nothrow_move_constructible_v<Work>);
  std::unique_ptr<Task> task(new (std::nothrow) detail::WorkTask<Work>(std::move(work)));
  return task && PostTask(window, std::move(task));
}

// For the window procedure, on the window's thread: runs the task numbered `number` for
// `window` (kRunPostedTask), and destroys, unrun, whatever is still queued for a window that is
// going (WM_NCDESTROY).
void RunPostedTask(HWND window, WPARAM number) noexcept;
void DropPostedTasks(HWND window) noexcept;

}  // namespace forms
