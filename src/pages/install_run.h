// The plug-in page's one installation run, as the user-interface thread and the download's
// worker both see it: which phase it is in, and whether the program is closing. The main
// window's close waits on it so that the plug-in folder is never left half replaced, and the
// utilities page asks it before removing the plug-in.
#pragma once

#include <windows.h>

#include <mutex>

#include "base/unique_handle.h"

namespace pages {

enum class RunPhase {
  kIdle,
  kDownloading,  // only the temporary archive is written
  kInstalling,   // the plug-in folder may change
};

class InstallRun {
 public:
  InstallRun();
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  // User-interface thread: Idle -> Downloading; false when a run is under way.
  bool Begin();
  bool Running() const;

  // Worker: Downloading -> Installing; false when the program is closing (install nothing).
  bool EnterInstalling();
  // Worker: the program is closing; leave the page's windows alone.
  bool Stopping() const;
  // Worker, as its very last step: back to Idle.
  void End();

  // User-interface thread, when the main window closes: no new phase is entered after this.
  // Returns the phase the run was in.
  RunPhase Stop();
  // User-interface thread: waits until the run has ended, meanwhile handling what the worker
  // sends to this thread's windows. False when `timeoutMs` ran out first.
  bool WaitForEnd(DWORD timeoutMs);

 private:
  mutable std::mutex mutex_;
  RunPhase phase_ = RunPhase::kIdle;
  bool stopping_ = false;
  base::UniqueKernelHandle idle_;  // manual-reset event, set while no run is under way
};

// The page's run. Never destroyed: a worker still blocked in a read when the process ends
// must not find it gone.
InstallRun& TheInstallRun();

}  // namespace pages
