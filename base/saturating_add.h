// Sums of sizes and counts that stop at the ends of the 64-bit range instead of wrapping.
#pragma once

#include <cstdint>
#include <limits>

constexpr int64_t SaturatingAdd(int64_t a, int64_t b) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  if (b > 0 && a > kMax - b) return kMax;
  if (b < 0 && a < kMin - b) return kMin;
  return a + b;
}
