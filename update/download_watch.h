// Bounds on an update download: its size, and the progress it must make over each stall
// window so that a server cannot hold the program waiting for ever.
#pragma once

#include <cstdint>
#include <functional>

#include "update/update_texts.h"

struct TDownloadLimits {
  int64_t MaxSize = update_limit::kMaxArchiveSize;
  uint32_t StallWindowMs = update_limit::kStallWindowMs;
  // Fewer bytes than this over one window is a stalled download.
  int64_t MinBytesPerWindow = update_limit::kMinBytesPerStallWindow;
};

// Milliseconds of a clock that only moves on (GetTickCount); wrapping is allowed.
using TTickFn = std::function<uint32_t()>;

class TDownloadWatch {
public:
  explicit TDownloadWatch(const TDownloadLimits& limits);

  // The answer begins at Now with this size announced (0: none); false when the size is
  // over the limit. The first window starts here, so that a late answer followed by a
  // steady body is not refused for the wait before it (the read time-out judges that).
  bool Begin(int64_t announced, uint32_t now);
  // The bytes so far at Now, after Begin; false when they are over the limit, or when a
  // whole window has gone by with too little of them.
  bool Progress(int64_t count, uint32_t now);

private:
  TDownloadLimits limits_;
  uint32_t windowStart_ = 0;
  int64_t countAtWindowStart_ = 0;
};
