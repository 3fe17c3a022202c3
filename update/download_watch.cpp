#include "update/download_watch.h"

TDownloadWatch::TDownloadWatch(const TDownloadLimits& limits) : limits_(limits) {}

bool TDownloadWatch::Begin(int64_t announced, uint32_t now) {
  windowStart_ = now;
  countAtWindowStart_ = 0;
  return announced <= limits_.MaxSize;
}

bool TDownloadWatch::Progress(int64_t count, uint32_t now) {
  if (count > limits_.MaxSize) return false;
  // Unsigned subtraction stays right across the clock's wrap.
  if (uint32_t(now - windowStart_) < limits_.StallWindowMs) return true;
  if (count - countAtWindowStart_ < limits_.MinBytesPerWindow) return false;
  windowStart_ = now;
  countAtWindowStart_ = count;
  return true;
}
