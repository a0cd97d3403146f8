// Owner for WinInet handles (internet session, connection, request).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/unique_handle.h"

namespace net {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};

using UniqueInternet = base::UniqueHandle<InternetHandleTraits>;

}  // namespace net
