#include <gtest/gtest.h>

#include "base/codepage.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
std::string AllBytes() {
  std::string s(256, '\0');
  for (int i = 0; i < 256; ++i) s[size_t(i)] = char(i);
  return s;
}
}  // namespace

TEST(Codepage, KnownCodes) {
  struct Case {
    unsigned char byte;
    Char cp437;
    Char cp1252;
  } cases[] = {
      {0x00, 0x0000, 0x0000}, {0x1A, 0x001A, 0x001A}, {0x41, 0x0041, 0x0041},
      {0x7F, 0x007F, 0x007F}, {0x80, 0x00C7, 0x20AC}, {0x81, 0x00FC, 0x0081},
      {0x8D, 0x00EC, 0x008D}, {0x8F, 0x00C5, 0x008F}, {0x90, 0x00C9, 0x0090},
      {0x9D, 0x00A5, 0x009D}, {0x9F, 0x0192, 0x0178}, {0xB0, 0x2591, 0x00B0},
      {0xC4, 0x2500, 0x00C4}, {0xE1, 0x00DF, 0x00E1}, {0xE9, 0x0398, 0x00E9},
      {0xFE, 0x25A0, 0x00FE}, {0xFF, 0x00A0, 0x00FF},
  };
  for (const auto& c : cases) {
    const std::string b(1, char(c.byte));
    EXPECT_EQ(DecodeCp437(b), String(1, c.cp437)) << int(c.byte);
    EXPECT_EQ(DecodeCp1252(b), String(1, c.cp1252)) << int(c.byte);
  }
}

TEST(Codepage, EveryByteRoundTrips) {
  const std::string all = AllBytes();
  for (auto [decode, encode] :
       {std::pair{&DecodeCp437, &EncodeCp437}, std::pair{&DecodeCp1252, &EncodeCp1252}}) {
    const String text = decode(all);
    ASSERT_EQ(text.size(), 256u);
    bool lossless = false;
    EXPECT_EQ(encode(text, &lossless), all);
    EXPECT_TRUE(lossless);
  }
}

TEST(Codepage, MissingCodesBecomeQuestionMarks) {
  struct Case {
    const char16_t* text;
    const char* cp437;
    bool lossless437;
    const char* cp1252;
    bool lossless1252;
  } cases[] = {
      {u"a\u20acb", "a?b", false,
       "a\x80"
       "b",
       true},
      {u"\u2591", "\xB0", true, "?", false},
      {u"\u4e2d\U0001F600", "???", false, "???", false},  // one '?' per unit
      {u"\xD800x", "?x", false, "?x", false},             // a lone surrogate
      {u"", "", true, "", true},
  };
  for (const auto& c : cases) {
    bool lossless = !c.lossless437;
    EXPECT_EQ(EncodeCp437(c.text, &lossless), c.cp437);
    EXPECT_EQ(lossless, c.lossless437);
    lossless = !c.lossless1252;
    EXPECT_EQ(EncodeCp1252(c.text, &lossless), c.cp1252);
    EXPECT_EQ(lossless, c.lossless1252);
  }
  EXPECT_EQ(EncodeCp1252(u"\u0100"), "?");  // no best-fit 'A'
}

TEST(Codepage, SystemPagesAreAnsi1252AndOem437Here) {
  // Tests run with an English locale: the system's pages agree with our tables.
  const std::string all = AllBytes();
  EXPECT_EQ(FromAnsi(all), DecodeCp1252(all));
  EXPECT_EQ(FromOem(all), DecodeCp437(all));
  bool lossless = true;
  EXPECT_EQ(ToAnsi(u"caf\u00e9 \u20ac \u0100", &lossless), "caf\xE9 \x80 ?");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(ToAnsi(u"\U0001F600", &lossless), "??");
  EXPECT_EQ(ToOem(u"\u2591x", &lossless), "\xB0x");
  EXPECT_TRUE(lossless);
  EXPECT_EQ(FromAnsi(""), u"");
  EXPECT_EQ(ToAnsi(u"", &lossless), "");
  EXPECT_TRUE(lossless);
}

#ifdef _WIN32
TEST(Codepage, TablesAgreeWithTheSystem) {
  for (const UINT page : {437u, 1252u}) {
    for (int b = 0; b < 256; ++b) {
      const char byte = char(b);
      wchar_t w = 0;
      ASSERT_EQ(MultiByteToWideChar(page, 0, &byte, 1, &w, 1), 1);
      const String ours =
          page == 437 ? DecodeCp437(std::string(1, byte)) : DecodeCp1252(std::string(1, byte));
      EXPECT_EQ(unsigned(ours[0]), unsigned(w)) << "code page " << page << " byte " << b;
    }
  }
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(GetOEMCP(), 437u);
}
#endif
