#include "unzip/zip_lib_routines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(Percentage, RoundsHalfToEvenAndClamps) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  const struct {
    int64_t whole, part;
    int32_t expected;
  } cases[] = {
      {0, 5, 0},          {-3, 1, 0},   {8, 1, 12},  // 12.5 goes to the even neighbour
      {8, 3, 38},                                     // 37.5 goes to 38
      {8, 5, 62},                                     // 62.5 goes to 62
      {100, 250, 100},    {3, 1, 33},   {3, 2, 67},  {200, 1, 0},  // 0.5 goes to 0
      {200, 3, 2},                                    // 1.5 goes to 2
      {10, -4, 0},        {10, 10, 100},
      // Values whose product with 100 does not fit in 64 bits.
      {kMax, kMax / 2, 50}, {kMax, kMax - 1, 100}, {kMax, kMax / 3, 33},
      {int64_t(1) << 62, (int64_t(1) << 62) / 8, 12},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Percentage(c.whole, c.part), c.expected) << c.whole << " " << c.part;
}

TEST(FixDosDateTime, ClampsFieldsAndKeepsValidValues) {
  const struct {
    uint32_t in, out;
  } cases[] = {
      {0x00000000u, 0x00210000u},  // day 0 and month 0 become 1
      {0xFFFFFFFFu, 0xEF9FBF7Du},  // every field at its limit
      {0x5A2E6B3Du, 0x5A2E6B3Du},  // 2025-01-14 13:25:58, valid
      {0x5A2E6B3Eu, 0x5A2E6B3Du},  // 60 seconds: 59, stored halved
      {0x5A2EC03Du, 0x5A2EB83Du},  // hour 24: 23, other time fields kept
      {0x5A0E6B3Du, 0x5A2E6B3Du},  // month 0: 1
      {0xFF8E0000u, 0xEF8E0000u},  // year 2107 (month 12): 2099
  };
  for (const auto& c : cases) EXPECT_EQ(FixDosDateTime(c.in), c.out) << std::hex << c.in;
}

TEST(StringEnds, LeftAndRightChars) {
  EXPECT_EQ(RightChars(u"abc", 5), u"abc");
  EXPECT_EQ(RightChars(u"abc", 2), u"bc");
  EXPECT_EQ(LeftChars(u"abc", 2), u"ab");
  EXPECT_EQ(LeftChars(u"abc", 9), u"abc");
  for (int n : {0, -1}) {
    EXPECT_EQ(RightChars(u"abc", n), u"");
    EXPECT_EQ(LeftChars(u"abc", n), u"");
  }
}

TEST(SlashToBackslash, ConvertsInPlaceUpToTheTerminator) {
  String s = u"a/b//c";
  EXPECT_EQ(SlashToBackslash(PCharOf(s)), s.data());
  EXPECT_EQ(s, u"a\\b\\\\c");
  Char partial[] = u"x/y\0/z";
  SlashToBackslash(partial);
  EXPECT_EQ(partial[1], u'\\');
  EXPECT_EQ(partial[4], u'/');  // beyond the NUL: untouched
  String empty;
  EXPECT_EQ(*PCharOf(empty), u'\0');
}

TEST(MinMax64, WorkBeyond32Bits) {
  EXPECT_EQ(Min64(int64_t(1) << 40, 7), 7);
  EXPECT_EQ(Max64(int64_t(1) << 40, 7), int64_t(1) << 40);
  EXPECT_EQ(Min64(-5, -5), -5);
}

}  // namespace
