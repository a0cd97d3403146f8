// The plug-in page's one installation run, as the user-interface thread and the download's
// worker both see it: which phase it is in, and whether the program is closing. The main
// window's close waits on the worker so that the plug-in folder is never left half replaced,
// and the utilities page asks it before removing the plug-in. The worker never touches a
// window: it posts to the page, and the run stays under way until the page has shown its end.
#pragma once

#include <windows.h>

#include <mutex>

#include "base/unique_handle.h"
#include "install/install_lock.h"

namespace pages {

enum class RunPhase {
  kIdle,
  kDownloading,  // only the temporary archive is written
  kInstalling,   // the plug-in folder may change
  kReporting,    // the worker is done; the page has yet to show the result
};

class InstallRun {
 public:
  InstallRun();
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  // User-interface thread: Idle -> Downloading, holding `lock` (install_lock.h) until the
  // worker is done; false when a run is under way or the program is closing (the lock is let go).
  bool Begin(install::InstallLock lock);
  bool Running() const;

  // Worker: Downloading -> Installing; false when the program is closing (install nothing).
  bool EnterInstalling();
  // Worker: the program is closing; leave the page's windows alone.
  bool Stopping() const;
  // Worker, as its very last step: its files are done with, and the lock is let go.
  void Finish();

  // User-interface thread, once the page shows the run's end (or no worker was started):
  // back to Idle, the lock let go. The worker calls it only when its last word could not reach
  // the page.
  void End();

  // User-interface thread, when the main window closes: no new phase is entered after this.
  // Returns the phase the run was in.
  RunPhase Stop();
  // User-interface thread: waits until no worker is busy, meanwhile answering what other
  // threads and programs send to this thread's windows. False when `timeoutMs` ran out first.
  bool WaitForWorker(DWORD timeoutMs);

 private:
  mutable std::mutex mutex_;
  RunPhase phase_ = RunPhase::kIdle;
  bool stopping_ = false;
  base::UniqueKernelHandle workerDone_;  // manual-reset event, set while no worker is busy
  install::InstallLock lock_;
};

// The page's run. Never destroyed: a worker still blocked in a read when the process ends
// must not find it gone.
InstallRun& TheInstallRun();

}  // namespace pages
