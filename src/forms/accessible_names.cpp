#include "forms/accessible_names.h"

#include <objbase.h>
#include <oleacc.h>

#include "forms/create.h"
#include "forms/owner_thread.h"

namespace forms {

namespace {

bool Encloses(const DesignRect& outer, const DesignRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

bool IsListBox(HWND window) {
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  return _wcsicmp(name, L"ListBox") == 0;
}

// The platform's annotation service, made on the thread's first request and kept for the
// life of the thread (an apartment object: used on the thread that made it).
class AnnotationService {
 public:
  ~AnnotationService() {
    if (services_) services_->Release();
  }
  IAccPropServices* Get() {
    if (!services_ && !tried_) {
      tried_ = true;
      const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      if (SUCCEEDED(com) || com == RPC_E_CHANGED_MODE) {
        ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IAccPropServices, reinterpret_cast<void**>(&services_));
      }
    }
    return services_;
  }

 private:
  IAccPropServices* services_ = nullptr;
  bool tried_ = false;
};

IAccPropServices* Services() {
  thread_local AnnotationService service;
  return service.Get();
}

}  // namespace

std::wstring FrameNameOf(HWND control) {
  ControlInfo* info = InfoOf(control);
  if (!info || info->isForm || !IsListBox(control)) return {};
  ControlInfo* formInfo = InfoOf(info->parent);
  if (!formInfo) return {};
  for (const auto& frame : formInfo->windowlessControls) {
    if (frame->windowless == WindowlessKind::kFrame &&
        Encloses(frame->designRect, info->designRect)) {
      return frame->caption;
    }
  }
  return {};
}

HRESULT NameForScreenReaders(HWND control) {
  ControlInfo* info = InfoOf(control);
  if (!info) return S_FALSE;
  std::wstring name = FrameNameOf(control);
  if (name.empty() || name == info->accessibleName) return S_FALSE;
  HRESULT result = E_NOINTERFACE;
  if (IAccPropServices* services = Services()) {
    result = services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      PROPID_ACC_NAME, name.data());
  }
  // Without the annotation service (Wine's answers E_NOTIMPL) the system's own object of a list
  // names it by its window text, which a list box never shows.
  if (FAILED(result) && ::SetWindowTextW(control, name.c_str())) result = S_OK;
  if (FAILED(result)) return result;  // not named: the next request tries again
  info->accessibleName = std::move(name);
  ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
  return result;
}

void ForgetName(HWND control) {
  ControlInfo* info = InfoOf(control);
  if (!info || info->accessibleName.empty()) return;
  if (IAccPropServices* services = Services()) {
    MSAAPROPID name = PROPID_ACC_NAME;
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
  info->accessibleName.clear();
}

void RenameInside(HWND form) {
  if (!OnOwnerThread(form)) return;
  for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ControlInfo* info = InfoOf(child);
    if (info && !info->accessibleName.empty()) NameForScreenReaders(child);
  }
}

}  // namespace forms
