#include "pages/install_run.h"

namespace pages {

InstallRun::InstallRun() : idle_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

bool InstallRun::Begin() {
  std::lock_guard lock(mutex_);
  if (phase_ != RunPhase::kIdle || stopping_) return false;
  phase_ = RunPhase::kDownloading;
  ::ResetEvent(idle_.get());
  return true;
}

bool InstallRun::Running() const {
  std::lock_guard lock(mutex_);
  return phase_ != RunPhase::kIdle;
}

bool InstallRun::EnterInstalling() {
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  phase_ = RunPhase::kInstalling;
  return true;
}

bool InstallRun::Stopping() const {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void InstallRun::End() {
  std::lock_guard lock(mutex_);
  phase_ = RunPhase::kIdle;
  ::SetEvent(idle_.get());
}

RunPhase InstallRun::Stop() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  return phase_;
}

bool InstallRun::WaitForEnd(DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    DWORD wait = INFINITE;
    if (timeoutMs != INFINITE) {
      const ULONGLONG now = ::GetTickCount64();
      wait = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    }
    HANDLE idle = idle_.get();
    const DWORD woke = ::MsgWaitForMultipleObjects(1, &idle, FALSE, wait, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    // Peeking delivers the messages sent to this thread (progress, the label's repaint) and
    // leaves everything posted in the queue.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

InstallRun& TheInstallRun() {
  static InstallRun& run = *new InstallRun;
  return run;
}

}  // namespace pages
