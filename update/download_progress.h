// What the progress window shows for a download.
#pragma once

#include <cstdint>

#include "base/string.h"

struct TDownloadProgress {
  int Position = 0;  // the bar, 0 to 100
  String Caption;    // "25% done", or "12 KB" while the size is unknown
};

// Bytes so far of the announced size: the percentage rounded to the nearest whole,
// a half to the even one, kept within 0 to 100. An unknown size (0 or less) shows the
// kilobytes received (whole ones) and the bar at 0.
TDownloadProgress DownloadProgress(int64_t workCount, int64_t downloadSize);
