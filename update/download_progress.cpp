#include "update/download_progress.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"
#include "update/update_texts.h"

TDownloadProgress DownloadProgress(int64_t workCount, int64_t downloadSize) {
  TDownloadProgress p;
  if (downloadSize <= 0) {
    p.Caption = IntToStr(std::max<int64_t>(workCount, 0) / 1024) + update_text::kKilobytes;
    return p;
  }
  // nearbyint rounds a half to the even neighbour in the default rounding mode.
  const double percent = std::nearbyint(double(workCount) * 100.0 / double(downloadSize));
  p.Position = int(std::clamp(percent, 0.0, 100.0));
  p.Caption = IntToStr(p.Position) + update_text::kPercentDone;
  return p;
}
