// The working record of one extraction run: the loop's counters and the buffers that
// every entry's extraction shares.
#pragma once

#include <cstdint>
#include <vector>

#include "base/stream.h"

inline constexpr int kInBufSize = 32769;
inline constexpr int kOutBufSize = 32769;
inline constexpr int kSlideSize = 32780;

struct TExtractState {
  explicit TExtractState(TStream* archive)
      : ArchiveStream(archive), InBuf(kInBufSize), OutBuf(kOutBufSize), Slide(kSlideSize) {}

  // Selected files still to do; an entry given up takes itself off.
  int32_t FilesToDo = 0;
  // Files written (folder entries included); the result of UnZip.
  int32_t FilesDone = 0;
  // Set by an entry's extraction when the same entry is to be tried again.
  bool RetryEntry = false;
  // Handed to OnSkippingFile as Retry.
  bool SkipRetry = false;
  // The stream the entry's data is read from; replaced when another part is opened.
  TStream* ArchiveStream;
  std::vector<uint8_t> InBuf;
  std::vector<uint8_t> OutBuf;
  std::vector<uint8_t> Slide;
};
