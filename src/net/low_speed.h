// The floor under a transfer's speed, in the manner of curl's --speed-limit/--speed-time: a
// transfer that stays below `bytesPerSecond` for a whole period of `periodMs` is given up.
// Per-read time-outs alone cannot catch a server that trickles a byte now and then.
#pragma once

#include <cstdint>

namespace net {

inline constexpr uint32_t kDefaultLowSpeedBytesPerSecond = 1024;
inline constexpr uint32_t kDefaultLowSpeedPeriodMs = 30000;

class LowSpeedWatch {
 public:
  // A limit of 0 bytes per second or a period of 0 never gives up.
  LowSpeedWatch(uint32_t bytesPerSecond, uint32_t periodMs, uint64_t startMs)
      : bytesPerSecond_(bytesPerSecond), periodMs_(periodMs), windowStartMs_(startMs) {}

  // Counts `bytes` more received by `nowMs`. False once the period that ended at or before
  // `nowMs` brought less than the limit allows.
  bool Accept(uint64_t bytes, uint64_t nowMs);

 private:
  uint32_t bytesPerSecond_;
  uint32_t periodMs_;
  uint64_t windowStartMs_;
  uint64_t windowBytes_ = 0;
};

}  // namespace net
