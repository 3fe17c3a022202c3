#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "support/xs_unicode.h"
#include "support/xs_unicode_blocks.h"
#include "support/xs_unicode_data.h"

namespace {
TEST(XsUnicodeData, ShutDownReleasesTheDatabase) {
  InitUnicodeSupport();
  TUnicodeDatabase& database = UnicodeDatabaseStorage();
  EXPECT_EQ(&UnicodeDatabaseStorage(), &database);
  auto& page = database.CombiningClasses[0];
  page = std::make_unique<TUnicodePage<uint8_t>>();
  (*page)[3] = std::make_unique<TUnicodeRow<uint8_t>>();
  (*(*page)[3])[0x01] = 230;  // U+0301 COMBINING ACUTE ACCENT
  database.Compositions.push_back({0xE9, U"e\u0301"});
  DoneUnicodeSupport();
  EXPECT_EQ(UnicodeDatabase, nullptr);
  EXPECT_EQ(UnicodeDatabaseStorage().CombiningClasses[0], nullptr);
  ReleaseUnicodeDatabase();
}

// The block of a code point by the table, "" outside every block.
String BlockOf(uint32_t code) {
  for (const TUnicodeBlockData& block : UnicodeBlockData)
    if (block.RangeStart <= code && code <= block.RangeEnd) return block.Name;
  return u"";
}

TEST(XsUnicodeBlocks, TheBlocksOfUnicode5InCodePointOrder) {
  EXPECT_GT(UnicodeBlockData[0].RangeStart, UnicodeBlockData[0].RangeEnd);
  std::set<String> names;
  for (int i = 1; i < kUnicodeBlockCount; ++i) {
    const TUnicodeBlockData& block = UnicodeBlockData[i];
    SCOPED_TRACE(testing::Message() << "row " << i);
    EXPECT_EQ(block.RangeStart % 16, 0u);
    EXPECT_EQ(block.RangeEnd % 16, 15u);
    EXPECT_LT(block.RangeStart, block.RangeEnd);
    if (i > 1) {
      EXPECT_GT(block.RangeStart, UnicodeBlockData[i - 1].RangeEnd);
    }
    EXPECT_TRUE(names.insert(block.Name).second);
  }
  EXPECT_EQ(UnicodeBlockData[kUnicodeBlockCount - 1].RangeEnd, 0x10FFFFu);

  struct Case {
    uint32_t code;
    const Char* block;
  } const cases[] = {
      {0x0000, u"Basic Latin"},
      {0x00E9, u"Latin-1 Supplement"},
      {0x03C0, u"Greek and Coptic"},
      {0x0500, u"Cyrillic Supplement"},
      {0x07C0, u"NKo"},  // new in 5.0
      {0x0860, u""},     // never a block in 5.0
      {0x1B80, u""},     // Sundanese: 5.1
      {0xA720, u"Latin Extended-D"},
      {0xD800, u"High Surrogates"},
      {0xFFFD, u"Specials"},
      {0x1D37F, u"Counting Rod Numerals"},
      {0x2A6DF, u"CJK Unified Ideographs Extension B"},
      {0xE0001, u"Tags"},
      {0x10FFFF, u"Supplementary Private Use Area-B"},
      {0x110000, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(BlockOf(c.code), c.block) << std::hex << c.code;
}
}  // namespace
