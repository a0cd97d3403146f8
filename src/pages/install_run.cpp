#include "pages/install_run.h"

namespace pages {

InstallRun::InstallRun() : workerDone_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

bool InstallRun::Begin(install::InstallLock lock) {
  std::lock_guard guard(mutex_);
  if (phase_ != RunPhase::kIdle || stopping_) return false;
  lock_ = std::move(lock);
  phase_ = RunPhase::kDownloading;
  ::ResetEvent(workerDone_.get());
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

void InstallRun::Finish() {
  std::lock_guard lock(mutex_);
  phase_ = RunPhase::kReporting;
  lock_.Release();  // the folders are final: other programs need not wait for the user
  ::SetEvent(workerDone_.get());
}

void InstallRun::End() {
  std::lock_guard lock(mutex_);
  phase_ = RunPhase::kIdle;
  lock_.Release();
  ::SetEvent(workerDone_.get());
}

RunPhase InstallRun::Stop() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  return phase_;
}

bool InstallRun::WaitForWorker(DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    DWORD wait = INFINITE;
    if (timeoutMs != INFINITE) {
      const ULONGLONG now = ::GetTickCount64();
      wait = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    }
    HANDLE done = workerDone_.get();
    const DWORD woke = ::MsgWaitForMultipleObjects(1, &done, FALSE, wait, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    // Peeking delivers the messages sent to this thread and leaves everything posted (the
    // worker's progress and its end) in the queue.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

InstallRun& TheInstallRun() {
  static InstallRun& run = *new InstallRun;
  return run;
}

}  // namespace pages
