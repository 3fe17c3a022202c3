#include <windows.h>

#include <gtest/gtest.h>

#include "support/xs_ansi_strings.h"
#include "support/xs_base.h"
#include "support/xs_strings.h"
#include "support/xs_sys_info.h"
#include "support/xs_unicode.h"
#include "tests/ui/import_hook.h"

namespace {
// The test environment pins ANSI code page 1252 and the en-US locale.
TEST(XsCharTables, AnsiTablesFollowTheTypeBits) {
  FillAnsiTypeTable();
  FillAnsiCaseTables();
  for (unsigned c = 0; c < 256; ++c) {
    const uint8_t b = uint8_t(c);
    const uint8_t expected = AnsiTypeIsUpper(b)   ? AnsiLowerTable[c]
                             : AnsiTypeIsLower(b) ? AnsiUpperTable[c]
                                                  : b;
    ASSERT_EQ(AnsiSwapTable[c], expected) << c;
  }
  const struct {
    uint8_t c, type, lower, upper, swap;
  } cases[] = {
      {'A', C1_UPPER, 'a', 'A', 'a'},
      {'a', C1_LOWER, 'a', 'A', 'A'},
      {'5', C1_DIGIT, '5', '5', '5'},
      {0xC4, C1_UPPER, 0xE4, 0xC4, 0xE4},  // A with diaeresis
      {0xDF, C1_LOWER, 0xDF, 0xDF, 0xDF},  // sharp s has no single upper form
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiTypeTable[c.c] & (C1_UPPER | C1_LOWER | C1_DIGIT), c.type) << int(c.c);
    EXPECT_EQ(AnsiLowerTable[c.c], c.lower) << int(c.c);
    EXPECT_EQ(AnsiUpperTable[c.c], c.upper) << int(c.c);
    EXPECT_EQ(AnsiSwapTable[c.c], c.swap) << int(c.c);
  }
  LoadAnsiDefaultChar();
  EXPECT_EQ(AnsiDefaultChar, '?');
}

TEST(XsCharTables, WideSwapKeepsUnitsWithoutACaseBit) {
  FillWideTypeTable();
  FillWideCaseTables();
  ASSERT_TRUE(WideCaseTablesReady);
  for (unsigned c = 0; c < 65536; ++c) {
    const Char u = Char(c);
    const Char expected = WideTypeIsUpper(u)   ? WideLowerTable[c]
                          : WideTypeIsLower(u) ? WideUpperTable[c]
                                               : u;
    ASSERT_EQ(WideSwapTable[c], expected) << c;
  }
  const struct {
    Char c, lower, upper, swap;
  } cases[] = {
      {u'A', u'a', u'A', u'a'},
      {u'\u00E4', u'\u00E4', u'\u00C4', u'\u00C4'},
      {u'\u0391', u'\u03B1', u'\u0391', u'\u03B1'},  // Greek Alpha
      {u'7', u'7', u'7', u'7'},
      {Char(0xD800), Char(0xD800), Char(0xD800), Char(0xD800)},  // a lone surrogate half
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideLowerTable[c.c], c.lower) << int(c.c);
    EXPECT_EQ(WideUpperTable[c.c], c.upper) << int(c.c);
    EXPECT_EQ(WideSwapTable[c.c], c.swap) << int(c.c);
  }
}

TEST(XsCharTables, CaseTablesAreFilledOnlyOnce) {
  FillAnsiTypeTable();
  FillAnsiCaseTables();
  FillWideTypeTable();
  FillWideCaseTables();
  AnsiLowerTable['Q'] = 'Q';
  WideLowerTable[u'Q'] = u'Q';
  FillAnsiCaseTables();
  FillWideCaseTables();
  EXPECT_EQ(AnsiLowerTable['Q'], 'Q');
  EXPECT_EQ(WideLowerTable[u'Q'], u'Q');
}

constexpr LCID kEnglish = 0x409, kGerman = 0x407, kJapanese = 0x411;

TEST(XsLocaleCodePage, ReadsTheLocalesDefaultAnsiCodePage) {
  const struct {
    LCID locale;
    uint32_t codePage;
  } cases[] = {
      {kEnglish, 1252},
      {kGerman, 1252},
      {kJapanese, 932},
      {0x419, 1251},  // Russian
      {0x439, 0},     // Hindi has no ANSI code page
      {0x7FFF0000, GetACP()},  // no such locale
  };
  for (const auto& c : cases) EXPECT_EQ(LocaleAnsiCodePage(c.locale), c.codePage) << c.locale;
}

struct CompareCase {
  LCID locale;
  const Char* s1;
  const Char* s2;
  int32_t expected;
};

const CompareCase kCompareCases[] = {
    {kEnglish, u"abc", u"ABC", 0},
    {kEnglish, u"a", u"b", -1},
    {kEnglish, u"B", u"a", 1},
    {kEnglish, u"", u"", 0},
    {kEnglish, u"", u"a", -1},
    {kEnglish, u"abc", u"ab", 1},
    {kGerman, u"\u00C4pfel", u"\u00E4PFEL", 0},
    {kGerman, u"\u00E4b", u"ac", -1},  // a with diaeresis sorts with a
    {kGerman, u"Stra\u00DFe", u"STRASSE", 0},  // sharp s expands to ss
    {kJapanese, u"\u65E5\u672C", u"\u65E5\u672C", 0},
    {kJapanese, u"abc", u"ABC", 0},
    {kJapanese, u"\u65E5\u672C\u8A9E", u"\u65E5\u672C", 1},
    {kJapanese, u"\u3042", u"\u3044", -1},  // hiragana a before i
};

TEST(XsCompareText, WideComparisonFollowsTheLocaleIgnoringCase) {
  for (const CompareCase& c : kCompareCases)
    EXPECT_EQ(CompareTextByWide(c.s1, c.s2, c.locale), c.expected)
        << c.locale << " " << ToUtf8(c.s1) << " / " << ToUtf8(c.s2);
}

// Double-byte texts need more bytes than code units; the comparison sees them whole.
TEST(XsCompareText, AnsiComparisonAgreesForTextsOfTheLocalesCodePage) {
  for (const CompareCase& c : kCompareCases) {
    EXPECT_EQ(CompareTextByAnsi(c.s1, c.s2, c.locale), c.expected)
        << c.locale << " " << ToUtf8(c.s1) << " / " << ToUtf8(c.s2);
  }
  EXPECT_EQ(CompareTextByAnsi(u"\u65E5\u672C", u"\u65E5\u7C73", kJapanese),
            CompareTextByWide(u"\u65E5\u672C", u"\u65E5\u7C73", kJapanese));
  EXPECT_NE(CompareTextByAnsi(u"\u65E5\u672C", u"\u65E5\u7C73", kJapanese), 0);
}

// A conversion that fails must not turn two different texts into two equal empty ones.
int WINAPI RefusedConversion(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

TEST(XsCompareText, AnsiComparisonOfTextsThatCannotBeConvertedIsNeverEqual) {
  gui_test::ImportHook hook("kernel32.dll", "WideCharToMultiByte",
                            reinterpret_cast<void*>(&RefusedConversion));
  ASSERT_TRUE(hook.Installed());
  EXPECT_EQ(CompareTextByAnsi(u"abc", u"xyz", kEnglish), -1);
  EXPECT_EQ(CompareTextByAnsi(u"xyz", u"abc", kEnglish), 1);
  EXPECT_EQ(CompareTextByAnsi(u"abc", u"ABC", kEnglish), 0);
  EXPECT_EQ(CompareTextByAnsi(u"", u"a", kEnglish), -1);
}

TEST(XsCompareText, AFailingSystemComparisonGivesMinusTwo) {
  EXPECT_EQ(CompareTextByWide(u"a", u"a", 0x7FFF0000), -2);
}

TEST(XsUnicodeSupport, ChoosesTheComparisonByPlatform) {
  LoadWin32Version();
  const uint32_t platform = Win32Platform;
  InitUnicodeSupport();
  ASSERT_NE(UnicodeDataLock, nullptr);
  EXPECT_EQ(LocaleCompareText, &CompareTextByWide);
  DoneUnicodeSupport();
  EXPECT_EQ(UnicodeDataLock, nullptr);

  Win32Platform = VER_PLATFORM_WIN32_WINDOWS;
  InitUnicodeSupport();
  EXPECT_EQ(LocaleCompareText, &CompareTextByAnsi);
  DoneUnicodeSupport();
  Win32Platform = platform;
}
}  // namespace
