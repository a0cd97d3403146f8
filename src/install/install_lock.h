// Installing or removing the plug-in is one program's work at a time on the machine: the window
// of any session and every command run take this lock for as long as they change plug-in
// folders. It is a named object that exists exactly while someone holds it, so a program that
// ends, however it ends, lets go of it with its handles.
#pragma once

#include "base/unique_handle.h"

namespace install {

class InstallLock {
 public:
  InstallLock() = default;  // holds nothing

  // Takes the lock; an empty lock (false) when another program holds it. When the system
  // cannot make the object at all, the lock counts as taken, as the single-instance guard does.
  static InstallLock Take();

  explicit operator bool() const { return held_; }
  void Release() {
    object_.reset();
    held_ = false;
  }

 private:
  base::UniqueKernelHandle object_;
  bool held_ = false;
};

}  // namespace install
