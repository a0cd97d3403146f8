#include "net/wininet_control.h"

#include <process.h>

#include <memory>
#include <new>
#include <utility>

namespace net {
namespace {

enum class Slot {
  kNone,
  kInternetStatus,
  kDownloadBegin,
  kDownloadComplete,
  kFileDownload,
  kHeaders
};

Slot SlotNamed(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper == "INTERNETSTATUS") return Slot::kInternetStatus;
  if (upper == "DOWNLOADBEGIN") return Slot::kDownloadBegin;
  if (upper == "DOWNLOADCOMPLETE") return Slot::kDownloadComplete;
  if (upper == "FILEDOWNLOAD") return Slot::kFileDownload;
  if (upper == "HEADERS") return Slot::kHeaders;
  return Slot::kNone;
}

// Puts `handler` into `slot` when it is of the slot's type (or none); returns the old one.
template <typename Handler>
EventHandler Swap(Handler& slot, const EventHandler& handler) {
  Handler replacement = nullptr;
  if (const auto* typed = std::get_if<Handler>(&handler)) {
    replacement = *typed;
  } else if (!std::holds_alternative<std::monostate>(handler)) {
    return std::monostate{};
  }
  const Handler old = std::exchange(slot, replacement);
  if (old == nullptr) return std::monostate{};
  return old;
}

unsigned __stdcall TransferThread(void* raw) {
  std::unique_ptr<TransferRequest> request(static_cast<TransferRequest*>(raw));
  try {
    RunTransfer(*request);
  } catch (...) {
  }
  return 0;
}

void StartWorker(TransferRequest request) {
  auto owned = std::make_unique<TransferRequest>(std::move(request));
  const uintptr_t thread = ::_beginthreadex(nullptr, 0, &TransferThread, owned.get(), 0, nullptr);
  if (thread == 0) {
    // _beginthreadex fails either in CreateThread (last error set) or allocating its own data.
    DWORD error = ::GetLastError();
    ReportStartFailure(*owned, error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY);
    return;
  }
  owned.release();                                  // the worker owns it now
  ::CloseHandle(reinterpret_cast<HANDLE>(thread));  // detached: nobody waits for it
}

}  // namespace

EventHandler WinInetControl::SetEventHandler(std::string_view name, EventHandler handler) {
  switch (SlotNamed(name)) {
    case Slot::kInternetStatus:
      return Swap(handlers_.internetStatus, handler);
    case Slot::kDownloadBegin:
      return Swap(handlers_.downloadBegin, handler);
    case Slot::kDownloadComplete:
      return Swap(handlers_.downloadComplete, handler);
    case Slot::kFileDownload:
      return Swap(handlers_.fileDownload, handler);
    case Slot::kHeaders:
      return Swap(handlers_.headers, handler);
    case Slot::kNone:
      break;
  }
  return std::monostate{};
}

void WinInetControl::SetHttpVersion(std::string_view version) {
  httpVersion_ = std::string(version.substr(0, kMaxHttpVersionLength));
}

void WinInetControl::SetIfRange(std::string_view validator) {
  // A line break would let the text add header lines of its own.
  const bool oneLine = validator.find_first_of("\r\n") == std::string_view::npos;
  ifRange_ = oneLine ? std::string(validator) : std::string();
}

TransferRequest WinInetControl::MakeRequest(std::string_view verb, std::string_view url,
                                            std::string_view body, uint64_t user,
                                            uint32_t rangeStart, uint32_t rangeLength,
                                            std::string_view referrer, std::string_view userName,
                                            std::string_view password) const {
  TransferRequest request;
  request.verb = std::string(verb);
  request.url = std::string(url);
  request.body = std::string(body);
  request.user = user;
  request.rangeStart = rangeStart;
  request.rangeLength = rangeLength;
  request.ifRange = ifRange_;
  request.referrer = std::string(referrer);
  request.userName = std::string(userName);
  request.password = std::string(password);
  request.handlers = handlers_;
  request.httpVersion = httpVersion_;
  request.bufferSize = bufferSize_;
  request.timeoutMs = timeoutMs_;
  request.lowSpeedBytesPerSecond = lowSpeedBytesPerSecond_;
  request.lowSpeedPeriodMs = lowSpeedPeriodMs_;
  request.maxBodyBytes = maxBodyBytes_;
  return request;
}

std::string WinInetControl::HttpGet(std::string_view url, uint64_t user, uint32_t rangeStart,
                                    uint32_t rangeLength, std::string_view referrer,
                                    std::string_view userName, std::string_view password) const {
  try {
    return RunTransfer(
        MakeRequest("GET", url, {}, user, rangeStart, rangeLength, referrer, userName, password));
  } catch (const std::bad_alloc&) {
    ReportNoMemory(user);
    return std::string();
  }
}

std::string WinInetControl::HttpPost(std::string_view url, std::string_view body, uint64_t user,
                                     uint32_t rangeStart, uint32_t rangeLength,
                                     std::string_view referrer, std::string_view userName,
                                     std::string_view password) const {
  try {
    return RunTransfer(MakeRequest("POST", url, body, user, rangeStart, rangeLength, referrer,
                                   userName, password));
  } catch (const std::bad_alloc&) {
    ReportNoMemory(user);
    return std::string();
  }
}

void WinInetControl::HttpGetAsync(std::string_view url, uint64_t user, uint32_t rangeStart,
                                  uint32_t rangeLength, std::string_view referrer,
                                  std::string_view userName, std::string_view password) const {
  try {
    StartWorker(
        MakeRequest("GET", url, {}, user, rangeStart, rangeLength, referrer, userName, password));
  } catch (const std::bad_alloc&) {
    ReportNoMemory(user);
  }
}

void WinInetControl::HttpPostAsync(std::string_view url, std::string_view body, uint64_t user,
                                   uint32_t rangeStart, uint32_t rangeLength,
                                   std::string_view referrer, std::string_view userName,
                                   std::string_view password) const {
  try {
    TransferRequest request =
        MakeRequest("POST", url, body, user, rangeStart, rangeLength, referrer, userName, password);
    request.context = static_cast<DWORD_PTR>(user);
    StartWorker(std::move(request));
  } catch (const std::bad_alloc&) {
    ReportNoMemory(user);
  }
}

void WinInetControl::ReportNoMemory(uint64_t user) const {
  TransferRequest request;  // short texts only: no allocation to fail
  request.user = user;
  request.handlers = handlers_;
  ReportStartFailure(request, ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace net
