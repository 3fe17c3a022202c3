#include <gtest/gtest.h>

#include "base/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

TEST(Text, Trimming) {
  struct Case {
    const char16_t* text;
    const char16_t* trimmed;
  } cases[] = {
      {u"", u""},
      {u"   ", u""},
      {u" \t\r\na b\x01 ", u"a b"},
      {u"\u00a0x\u00a0", u"\u00a0x\u00a0"},  // only codes <= 32
      {u"x", u"x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Trim(c.text), c.trimmed);
}

TEST(Text, CaseMapping) {
  struct Case {
    const char16_t* text;
    const char16_t* upper;      // UpperCase: ASCII only
    const char16_t* ansiUpper;  // AnsiUpperCase: the whole table
    const char16_t* ansiLower;
  } cases[] = {
      {u"abc XYZ 09_", u"ABC XYZ 09_", u"ABC XYZ 09_", u"abc xyz 09_"},
      {u"\u00e9\u00c9\u00ff\u00df", u"\u00e9\u00c9\u00ff\u00df", u"\u00c9\u00c9\u0178\u00df",
       u"\u00e9\u00e9\u00ff\u00df"},
      {u"\u0101\u0100\u03b1\u0391\u0430\u0410", u"\u0101\u0100\u03b1\u0391\u0430\u0410",
       u"\u0100\u0100\u0391\u0391\u0410\u0410", u"\u0101\u0101\u03b1\u03b1\u0430\u0430"},
      {u"\uff41\uff21", u"\uff41\uff21", u"\uff21\uff21", u"\uff41\uff41"},  // full-width
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpperCase(c.text), c.upper);
    EXPECT_EQ(AnsiUpperCase(c.text), c.ansiUpper);
    EXPECT_EQ(AnsiLowerCase(c.text), c.ansiLower);
  }
  EXPECT_EQ(LowerCase(u"ABC\u00c9"), u"abc\u00c9");
  // Surrogates and unassigned codes map to themselves.
  for (const Char c : {Char(0xD800), Char(0xDFFF), Char(0xFFFF), Char(0)}) {
    EXPECT_EQ(CharUpper(c), c);
    EXPECT_EQ(CharLower(c), c);
  }
}

TEST(Text, Comparisons) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int str;   // CompareStr sign
    int text;  // CompareText sign
  } cases[] = {
      {u"a", u"a", 0, 0},           {u"a", u"B", 1, -1}, {u"A", u"a", -1, 0},
      {u"ab", u"a", 1, 1},          {u"", u"", 0, 0},    {u"_", u"a", -1, 1},  // folded to upper
      {u"\u00e9", u"\u00c9", 1, 1},                                            // ASCII only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareStr(c.a, c.b), c.str) << ToUtf8(c.a) << " " << ToUtf8(c.b);
    EXPECT_EQ(CompareText(c.a, c.b), c.text) << ToUtf8(c.a) << " " << ToUtf8(c.b);
    EXPECT_EQ(SameText(c.a, c.b), c.text == 0);
  }
}

TEST(Text, Replace) {
  struct Case {
    const char16_t* s;
    const char16_t* from;
    const char16_t* to;
    const char16_t* expected;
  } cases[] = {
      {u"a,b,,c", u",", u";", u"a;b;;c"}, {u"aaa", u"aa", u"b", u"ba"},
      {u"abc", u"", u"x", u"abc"},        {u"abc", u"b", u"", u"ac"},
      {u"aa", u"a", u"aa", u"aaaa"},  // the replacement is not searched again
  };
  for (const auto& c : cases) EXPECT_EQ(StringReplaceAll(c.s, c.from, c.to), c.expected);
}

#ifdef _WIN32
// Our table against the system's for every code unit. Wine's tables come from a
// newer or older Unicode than ours, so only the first two blocks must agree; the
// rest is reported.
TEST(Text, CaseTableAgreesWithTheSystem) {
  int upperMismatches = 0, lowerMismatches = 0;
  std::string examples;
  for (unsigned u = 1; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    wchar_t up = wchar_t(u), low = wchar_t(u);
    CharUpperBuffW(&up, 1);
    CharLowerBuffW(&low, 1);
    const bool upperDiffers = Char(up) != CharUpper(Char(u));
    const bool lowerDiffers = Char(low) != CharLower(Char(u));
    upperMismatches += upperDiffers;
    lowerMismatches += lowerDiffers;
    if ((upperDiffers || lowerDiffers) && examples.size() < 4000) {
      char line[64];
      snprintf(line, sizeof line, " %04X(u %04X/%04X l %04X/%04X)", u, unsigned(up),
               unsigned(CharUpper(Char(u))), unsigned(low), unsigned(CharLower(Char(u))));
      examples += line;
    }
    if (u < 0x100) {
      EXPECT_FALSE(upperDiffers) << std::hex << u;
      EXPECT_FALSE(lowerDiffers) << std::hex << u;
    }
  }
  RecordProperty("upper_mismatches", upperMismatches);
  RecordProperty("lower_mismatches", lowerMismatches);
  std::printf("case table vs system: %d upper, %d lower mismatches;%s\n", upperMismatches,
              lowerMismatches, examples.c_str());
}
#endif

TEST(Text, LocaleComparisons) {
  // Only what both orders share: the locale's and the native ordinal one.
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int text;  // AnsiCompareText sign
  } cases[] = {
      {u"abc", u"abc", 0},
      {u"abc", u"ABC", 0},
      {u"a", u"B", -1},  // letters first, then case (CompareText: also -1)
      {u"\u00e9t\u00e9", u"\u00c9T\u00c9", 0},
      {u"", u"a", -1},
      {u"b", u"A", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiCompareText(c.a, c.b), c.text) << ToUtf8(c.a) << " " << ToUtf8(c.b);
    EXPECT_EQ(AnsiCompareText(c.b, c.a), -c.text);
    EXPECT_EQ(AnsiSameText(c.a, c.b), c.text == 0);
  }
  struct EndCase {
    const char16_t* sub;
    const char16_t* text;
    bool ends;
  } ends[] = {
      {u"\\FILES\\", u"C:\\Temp\\Files\\", true},
      {u"", u"abc", true},
      {u"abcd", u"bcd", false},
      {u"b", u"abc", false},
      {u"\u00c9", u"caf\u00e9", true},
  };
  for (const auto& c : ends) EXPECT_EQ(AnsiEndsText(c.sub, c.text), c.ends) << ToUtf8(c.sub);
}
