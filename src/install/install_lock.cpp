#include "install/install_lock.h"

#include <windows.h>
#include <sddl.h>

namespace install {

namespace {

// In the global namespace, so that a command run of a deployment tool (the system account, in a
// session of its own) and the window of the user at the screen see the same object. The local
// name serves where the global namespace is not to be had.
constexpr const wchar_t* kNames[] = {L"Global\\翎图匠助手_安装卸载", L"翎图匠助手_安装卸载"};

// Every signed-in user may see whether the object exists and wait on it; only the system and
// administrators may do more. So the object made by one account does not lock out another.
constexpr wchar_t kAccess[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;AU)";

enum class Attempt { kTaken, kBusy, kUnavailable };

Attempt TryName(const wchar_t* name, base::UniqueKernelHandle& object) {
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAccess, SDDL_REVISION_1, &descriptor,
                                                             nullptr)) {
    attributes.lpSecurityDescriptor = descriptor;
  }
  object.reset(::CreateMutexW(&attributes, FALSE, name));
  const DWORD error = ::GetLastError();
  if (descriptor) ::LocalFree(descriptor);
  if (object && error == ERROR_ALREADY_EXISTS) {
    object.reset();
    return Attempt::kBusy;
  }
  if (object) return Attempt::kTaken;
  // An object of that name made by another account, which this one may not open, or an object
  // of another type under the name (someone squats it): either way the name is not ours, and
  // falling back to a name of this session's would let two programs change one folder.
  return error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE ? Attempt::kBusy
                                                                       : Attempt::kUnavailable;
}

}  // namespace

InstallLock InstallLock::Take() {
  InstallLock lock;
  for (const wchar_t* name : kNames) {
    switch (TryName(name, lock.object_)) {
      case Attempt::kTaken:
        lock.held_ = true;
        return lock;
      case Attempt::kBusy:
        return lock;
      case Attempt::kUnavailable:
        break;
    }
  }
  lock.held_ = true;
  return lock;
}

}  // namespace install
