#include "app/startup_timeline.h"

#include <array>

namespace app::startup {

namespace {

std::array<LONGLONG, static_cast<size_t>(Step::kCount)> stamps{};

}  // namespace

void Mark(Step step) {
  LONGLONG& stamp = stamps[static_cast<size_t>(step)];
  if (stamp != 0) return;
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  stamp = now.QuadPart;
}

std::optional<LRESULT> AnswerQuery(UINT message, WPARAM wParam) {
  // Registered messages lie in 0xC000-0xFFFF; the name is registered only once one arrives.
  if (message < 0xC000 || message > 0xFFFF) return std::nullopt;
  static const UINT query = ::RegisterWindowMessageW(kQueryMessageName);
  if (message != query) return std::nullopt;
  return wParam < stamps.size() ? static_cast<LRESULT>(stamps[wParam]) : 0;
}

}  // namespace app::startup
