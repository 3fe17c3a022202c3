#include <gtest/gtest.h>

#include <cstdint>

#include "base/saturating_add.h"

TEST(SaturatingAdd, StopsAtEitherEndOfTheRange) {
  constexpr int64_t kMax = INT64_MAX;
  constexpr int64_t kMin = INT64_MIN;
  struct Case {
    int64_t a, b, sum;
  } cases[] = {
      {1, 2, 3},
      {0, 0, 0},
      {kMax, 0, kMax},
      {kMax - 1, 1, kMax},
      {kMax, 1, kMax},
      {kMax, kMax, kMax},
      {kMax - 5, 10, kMax},
      {kMin, 0, kMin},
      {kMin + 1, -1, kMin},
      {kMin, -1, kMin},
      {kMin, kMin, kMin},
      {kMax, kMin, -1},  // opposite signs never overflow
      {kMin, kMax, -1},
      {-5, 3, -2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SaturatingAdd(c.a, c.b), c.sum) << c.a << " + " << c.b;
    EXPECT_EQ(SaturatingAdd(c.b, c.a), c.sum) << c.b << " + " << c.a;
  }
}
