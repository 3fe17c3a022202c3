// The Unicode blocks (Unicode 5.0), as constant data.
#pragma once

#include <cstdint>

#include "base/string.h"

struct TUnicodeBlockData {
  uint32_t RangeStart;
  uint32_t RangeEnd;
  const Char* Name;
};

// Entry 0 stands for code points outside every block: its range is empty (start above
// end). The 154 blocks follow in code-point order.
inline constexpr int kUnicodeBlockCount = 155;
extern const TUnicodeBlockData UnicodeBlockData[kUnicodeBlockCount];
