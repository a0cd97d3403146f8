#include "net/low_speed.h"

namespace net {

bool LowSpeedWatch::Accept(uint64_t bytes, uint64_t nowMs) {
  windowBytes_ += bytes;
  if (bytesPerSecond_ == 0 || periodMs_ == 0) return true;
  const uint64_t elapsedMs = nowMs - windowStartMs_;
  if (elapsedMs < periodMs_) return true;
  // Judged over the whole time since the window began, so a read that blocked for long
  // counts with its full length.
  if (windowBytes_ * 1000 < uint64_t{bytesPerSecond_} * elapsedMs) return false;
  windowStartMs_ = nowMs;
  windowBytes_ = 0;
  return true;
}

}  // namespace net
