#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/exception.h"
#include "base/format.h"

namespace {
const TFormatSettings kEnglish{u',', u'.'};
}  // namespace

TEST(FormatFloat, PatternsOfTheSummary) {
  struct Case {
    const char16_t* pattern;
    double value;
    const char16_t* expected;
  } cases[] = {
      // counts
      {u"###,###,###,###", 0, u""},
      {u"###,###,###,###", 0.05, u""},
      {u"###,###,###,###", 0.5, u"1"},
      {u"###,###,###,###", 0.95, u"1"},
      {u"###,###,###,###", 999.95, u"1,000"},
      {u"###,###,###,###", 1234567, u"1,234,567"},
      {u"###,###,###,###", -1234567, u"-1,234,567"},
      {u"###,###,###,###", -0.4, u""},  // rounds to zero: no sign
      {u"###,###,###,###", 2.5, u"3"},
      {u"###,###,###,###", -2.5, u"-3"},
      {u"###,###,###,###", 9.2e18, u"9,200,000,000,000,000,000"},
      {u"###,###,###,###", 999999999999999, u"999,999,999,999,999"},  // more digits than places
      {u"###,###,###,###", 4294967295.0, u"4,294,967,295"},
      // totals in KB
      {u"###,###,###,###,##0", 0, u"0"},
      {u"###,###,###,###,##0", 1600 / 1024.0, u"2"},
      {u"###,###,###,###,##0", 10240000 / 1024.0, u"10,000"},
      {u"###,###,###,###,##0", 0.4, u"0"},
      {u"###,###,###,###,##0", 123456789012.0, u"123,456,789,012"},
      // sizes below one KB
      {u"0.0", 0, u"0.0"},
      {u"0.0", 0.05, u"0.1"},
      {u"0.0", 0.95, u"1.0"},
      {u"0.0", 0.15, u"0.2"},  // decimal rounding, not the binary value's 0.1499...
      {u"0.0", 999.95, u"1000.0"},
      {u"0.0", 52 / 1024.0, u"0.1"},
      {u"0.0", 51 / 1024.0, u"0.0"},
      {u"0.0", 1023 / 1024.0, u"1.0"},
      {u"0.0", -0.05, u"-0.1"},
      {u"0.0", -0.04, u"0.0"},
      {u"0.0", 1234567, u"1234567.0"},
      {u"0.0", 9.2e18, u"9200000000000000000.0"},
      // shares
      {u"##0.0", 12.5, u"12.5"},
      {u"##0.0", 100, u"100.0"},
      {u"##0.0", double(0.05f), u"0.1"},  // the float nearest 0.05 lies above it
      {u"##0.0", 0.0499, u"0.0"},
      {u"##0.0", 1234.56, u"1234.6"},
      {u"##0.0", 0.95, u"1.0"},
      // others
      {u"#,##0.0", 1234.56, u"1,234.6"},
      {u"#,##0.0", 0, u"0.0"},
      {u"#,##0.0", -1234567.89, u"-1,234,567.9"},
      {u"#,##0.0", 999.95, u"1,000.0"},
      {u"#,##0.0", 999.949, u"999.9"},
      {u"#", 0, u""},
      {u"#", 7, u"7"},
      {u"0", 0, u"0"},
      {u"0", 0.5, u"1"},
      {u"0", 1.4999, u"1"},
      {u"#.##", 0.5, u".5"},
      {u"#.##", 1, u"1"},
      {u"#.##", 0, u""},
      {u"0.00", 1.005, u"1.01"},
      {u"0.00", 2.675, u"2.68"},
      {u"0.00", 0.125, u"0.13"},
      {u"00000", 42, u"00042"},
      {u".00", 12.5, u"12.50"},
      {u"0 'KB'", 5, u"5 KB"},
      {u"\"<\"0\">\"", 5, u"<5>"},
      {u"0.0;(0.0);zero", -1.5, u"(1.5)"},
      {u"0.0;(0.0);zero", 0, u"zero"},
      {u"0.0;(0.0);zero", 2, u"2.0"},
      {u"0.0;;zero", -1.5, u"-1.5"},
      {u"", 1.5, u"1.5"},
      {u"", 0, u"0"},
      {u"", 1.0 / 3, u"0.333333333333333"},
      {u"", -1e20, u"-100000000000000000000"},
      {u"0", std::numeric_limits<double>::quiet_NaN(), u"NAN"},
      {u"0", std::numeric_limits<double>::infinity(), u"INF"},
      {u"0", -std::numeric_limits<double>::infinity(), u"-INF"},
      {u"0.0", std::numeric_limits<double>::denorm_min(), u"0.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf8(FormatFloat(c.pattern, c.value, kEnglish)), ToUtf8(c.expected))
        << ToUtf8(c.pattern) << " with " << c.value;
  }
  // The largest double has all its 309 integer digits.
  EXPECT_EQ(FormatFloat(u"0", std::numeric_limits<double>::max(), kEnglish).size(), 309u);
}

TEST(FormatFloat, SeparatorsComeFromTheSettings) {
  struct Case {
    TFormatSettings settings;
    const char16_t* expected;
  } cases[] = {
      {{u'.', u','}, u"1.234.567,5"},
      {{u'\u00a0', u','}, u"1\u00a0234\u00a0567,5"},
      {{Char(0), u'.'}, u"1234567.5"},  // a locale without grouping
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToUtf8(FormatFloat(u"#,##0.0", 1234567.5, c.settings)), ToUtf8(c.expected));
}

TEST(FormatFloat, DefaultSettingsAreTheLocalesOnce) {
  const TFormatSettings& a = DefaultFormatSettings();
  EXPECT_EQ(&a, &DefaultFormatSettings());
  // Tests run with an English locale in both builds.
  EXPECT_EQ(a.ThousandSeparator, u',');
  EXPECT_EQ(a.DecimalSeparator, u'.');
  EXPECT_EQ(FormatFloat(u"#,##0.0", 1234.5), u"1,234.5");
}

TEST(Format, Directives) {
  struct Case {
    const char16_t* pattern;
    std::initializer_list<FormatArg> args;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"%s", {u"abc"}, u"abc"},
      {u"%5s", {u"abc"}, u"  abc"},
      {u"%-5s|", {u"abc"}, u"abc  |"},
      {u"%.2s", {u"abc"}, u"ab"},
      {u"%-6.2s|", {u"abc"}, u"ab    |"},
      {u"%2s", {u"abcdef"}, u"abcdef"},  // width never cuts
      {u"%d", {-42}, u"-42"},
      {u"%5d", {42}, u"   42"},
      {u"%-5d|", {42}, u"42   |"},
      {u"%3.3d", {7}, u"007"},
      {u"z%2.2d", {1}, u"z01"},
      {u"%.3d", {-7}, u"-007"},
      {u"%d", {std::numeric_limits<int64_t>::min()}, u"-9223372036854775808"},
      {u"%u", {4294967295u}, u"4294967295"},
      {u"%u", {-1}, u"4294967295"},
      {u"%u", {std::numeric_limits<uint64_t>::max()}, u"18446744073709551615"},
      {u"Win32 error: %s (%u)%s%s",
       {u"Access is denied", 5u, u"\r\n", u"Failed"},
       u"Win32 error: Access is denied (5)\r\nFailed"},
      {u"%x", {255}, u"FF"},
      {u"%x", {-1}, u"FFFFFFFF"},
      {u"%8x", {0xABCu}, u"     ABC"},
      {u"%.4x", {0xAu}, u"000A"},
      {u"%x", {-(int64_t(1) << 40)}, u"FFFFFF0000000000"},
      {u"100%%", {}, u"100%"},
      {u"%s \"%s\" \"%s\" \"%s\"",
       {u"tq5082tq67", u"C:\\T\\", u"C:\\P\\", u"Q.exe"},
       u"tq5082tq67 \"C:\\T\\\" \"C:\\P\\\" \"Q.exe\""},
      {u"%s", {u"%s%d%"}, u"%s%d%"},  // arguments are never formats
      {u"%d %s", {1, u"x", u"unused"}, u"1 x"},
      {u"", {}, u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToUtf8(Format(c.pattern, c.args)), ToUtf8(c.expected)) << ToUtf8(c.pattern);
}

TEST(Format, BadDirectivesRaise) {
  struct Case {
    const char16_t* pattern;
    std::initializer_list<FormatArg> args;
  };
  const Case cases[] = {
      {u"%d", {u"text"}},   {u"%s", {5}},       {u"%s", {}},        {u"%", {1}},
      {u"abc%", {}},        {u"%q", {1}},       {u"%5", {1}},       {u"%-", {1}},
      {u"%99999s", {u"a"}}, {u"%.99999d", {1}}, {u"%s %s", {u"a"}},
  };
  for (const auto& c : cases) {
    try {
      Format(c.pattern, c.args);
      ADD_FAILURE() << ToUtf8(c.pattern);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(),
                u"Format '" + String(c.pattern) + u"' invalid or incompatible with argument");
    }
  }
}

TEST(StrToInt, Conversions) {
  struct Case {
    const char16_t* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {u"0", true, 0},
      {u"123", true, 123},
      {u"-123", true, -123},
      {u"+5", true, 5},
      {u"007", true, 7},
      {u"2147483647", true, 2147483647},
      {u"2147483648", false, 0},
      {u"-2147483648", true, std::numeric_limits<int32_t>::min()},
      {u"-2147483649", false, 0},
      {u"99999999999999999999", false, 0},
      {u"$FF", true, 255},
      {u"0x1f", true, 31},
      {u"0X1F", true, 31},
      {u"$FFFFFFFF", true, -1},  // a hex text is a bit pattern
      {u"$100000000", false, 0},
      {u"-$10", true, -16},
      {u"", false, 0},
      {u" 1", true, 1},  // leading blanks are skipped
      {u"  -7", true, -7},
      {u" ", false, 0},
      {u"1 ", false, 0},
      {u"12a", false, 0},
      {u"-", false, 0},
      {u"$", false, 0},
      {u"0x", false, 0},
      {u"1.0", false, 0},
      {u"\u0661", false, 0},  // other scripts' digits are not digits here
      {u"--1", false, 0},
  };
  for (const auto& c : cases) {
    int32_t v = 12345;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << ToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(v, c.value) << ToUtf8(c.text);
      EXPECT_EQ(StrToInt(c.text), c.value);
    }
    EXPECT_EQ(StrToIntDef(c.text, -77), c.ok ? c.value : -77) << ToUtf8(c.text);
  }
  try {
    StrToInt(u"abc");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
  }
}

TEST(StrToInt, SixtyFourBit) {
  struct Case {
    const char16_t* text;
    bool ok;
    int64_t value;
  } cases[] = {
      {u"9223372036854775807", true, std::numeric_limits<int64_t>::max()},
      {u"-9223372036854775808", true, std::numeric_limits<int64_t>::min()},
      {u"9223372036854775808", false, 0},
      {u"4294967296", true, 4294967296},
      {u"$FFFFFFFFFFFFFFFF", true, -1},
      {u"$10000000000000000", false, 0},
  };
  for (const auto& c : cases) {
    int64_t v = 0;
    EXPECT_EQ(TryStrToInt64(c.text, v), c.ok) << ToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(IntToText, DecimalAndHex) {
  EXPECT_EQ(IntToStr(0), u"0");
  EXPECT_EQ(IntToStr(-5), u"-5");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), u"00FF");
  EXPECT_EQ(IntToHex(0, 0), u"0");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), u"ABCDEF");
  EXPECT_EQ(IntToHex(std::numeric_limits<uint64_t>::max(), 1), u"FFFFFFFFFFFFFFFF");
}
