#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/unzip/legacy_codec_support.h"
#include "unzip/shrink_tables.h"

namespace {

constexpr uint16_t kShrunk = 1;

// Codes of a hand-built stream: a value and the bits it takes.
struct Code {
  uint32_t value;
  uint32_t bits = 9;
};

std::string Codes(const std::vector<Code>& codes) {
  BitWriter out;
  for (const Code& c : codes) out.Put(c.value, c.bits);
  return out.Bytes();
}

std::string Unshrink(const std::string& compressed, int64_t size = 1 << 24) {
  return DecodeEntry(kShrunk, 0, compressed, size).output;
}

struct RoundTrip {
  const char* name;
  std::string data;
  ShrinkOptions options;
  uint32_t codeSize;  // the encoder's code size at the end
  bool cleared;       // the encoder sent partial clears
};

TEST(UnShrink, DecodesWhatTheEncoderAndSevenZipAgreeOn) {
  const std::vector<RoundTrip> cases = {
      {"one byte", "x", {}, 9, false},
      {"text", SampleData(3000), {}, 11, false},
      {"growth to 13 bits", SampleData(60000, 7), {0, false}, 13, false},
      {"clears when full", SampleData(200000, 3), {}, 13, true},
      // Clears while codes in use lie above the next free one: a clear that looked
      // only below it would free prefixes still needed.
      {"clears while the table has holes", SampleData(200000, 5), {700, true}, 13, true},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.name);
    ShrinkStats stats;
    const std::string compressed = Shrink(c.data, c.options, &stats);
    EXPECT_EQ(stats.codeSize, c.codeSize);
    EXPECT_EQ(stats.clears > 0, c.cleared);
    const DecodeResult result = DecodeEntry(kShrunk, 0, compressed, int64_t(c.data.size()));
    EXPECT_FALSE(result.tooBig);
    EXPECT_TRUE(result.output == c.data) << "decoded " << result.output.size() << " bytes";
    if (SevenZipAvailable()) {
      const auto oracle = SevenZipDecode(kShrunk, 0, compressed, c.data);
      ASSERT_TRUE(oracle.has_value()) << "7zz refused the encoder's stream";
      EXPECT_TRUE(*oracle == c.data);
    }
  }
}

TEST(UnShrink, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::vector<Code> codes;
    std::string expected;
    bool checkWithSevenZip;
  };
  const std::vector<Case> cases = {
      // 257 is the code being defined: "a" followed by its own first byte.
      {"code not yet assigned", {{'a'}, {257}, {257}}, "aaaaa", true},
      // 257 "ab", 258 "bc", 259 "cb" and 260 "bcx" are assigned; the clear frees
      // 257, 259 and 260 but keeps 258, the prefix of 260. New codes then go to 257,
      // 259 and 260, passing over 258.
      {"partial clear reuses the freed codes from the lowest up",
       {{'a'}, {'b'}, {'c'}, {258}, {'x'}, {256}, {2}, {'d'}, {257}, {259}, {258}, {260}},
       "abcbcxdxddxbcxdd",
       true},
      // 257 "ab", 258 "ba", 259 "abc": the first clear frees 258 and 259 and keeps
      // 257, whose child goes in the same clear; the second clear frees it (and 258
      // "cd"), so that "de" is assigned to 257.
      {"a code whose last child is freed stays until the next clear",
       {{'a'}, {'b'}, {257}, {'c'}, {256}, {2}, {'d'}, {256}, {2}, {'e'}, {257}},
       "ababcdede",
       true},
      {"growing the code size",
       {{'a'}, {256}, {1}, {'b', 10}, {257, 10}, {256, 10}, {1, 10}, {258, 11}},
       "ababba",
       true},
      // An unknown subcode changes nothing.
      {"unknown subcode", {{'a'}, {256}, {7}, {'b'}}, "ab", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string compressed = Codes(c.codes);
    EXPECT_EQ(Unshrink(compressed, int64_t(c.expected.size())), c.expected);
    if (c.checkWithSevenZip && SevenZipAvailable()) {
      EXPECT_EQ(SevenZipDecode(kShrunk, 0, compressed, c.expected), c.expected);
    }
  }
}

// The end of the data ends the decoding: a code cut off by it is dropped, and damaged
// codes stop it early rather than run away.
// A stream of partial clears over a full table costs a pass over the table's words and
// the codes it frees, never a look at every code.
TEST(UnShrink, PartialClearLooksAtLittleOfTheTable) {
  using namespace shrink_codes;
  auto tables = std::make_unique<TShrinkTables>();
  // One chain through every code: each clear frees only its top.
  tables->Assign(kFirstFreeCode, 'a', 'b');
  for (uint32_t code = kFirstFreeCode + 1; code < kMaxCode; ++code)
    tables->Assign(code, uint16_t(code - 1), 'c');
  constexpr uint32_t kClears = 1000;
  const uint64_t before = tables->Visited;
  for (uint32_t k = 1; k <= kClears; ++k) {
    ASSERT_EQ(tables->PartialClear(), kMaxCode - k);
    ASSERT_NE(tables->Prefix[kMaxCode - k - 1], kFreeCode);
  }
  // The clear's pass over the words, the code it frees, the search for the lowest free.
  EXPECT_LE(tables->Visited - before, uint64_t(kClears) * (2 * TShrinkTables::kWords + 1));
  // With nothing assigned a clear finds the first free code at once.
  auto empty = std::make_unique<TShrinkTables>();
  for (uint32_t k = 0; k < kClears; ++k) ASSERT_EQ(empty->PartialClear(), kFirstFreeCode);
  EXPECT_LE(empty->Visited, uint64_t(kClears));
}

TEST(UnShrink, StopsAtTheEndOfTheDataAndOnDamage) {
  struct Case {
    const char* name;
    std::string compressed;
    std::string expected;
  };
  std::string fourCodes = Codes({{'a'}, {'b'}, {'c'}, {'d'}});  // 36 bits in 5 bytes
  const std::vector<Case> cases = {
      {"no data", "", ""},
      {"cut inside the third code", fourCodes.substr(0, 3), "ab"},
      {"cut inside the fourth code", fourCodes.substr(0, 4), "abc"},
      // Five growths would take the codes past 13 bits.
      {"code size above 13",
       Codes({{'a'}, {256}, {1}, {256, 10}, {1, 10}, {256, 11}, {1, 11}, {256, 12}, {1, 12},
              {256, 13}, {1, 13}, {'b', 14}}),
       "a"},
      // 257 is free and is its own predecessor: the chain never reaches a byte.
      {"cyclic prefix chain", Codes({{257}, {258}, {'z'}}), "\x01"},
      {"cut after the control code", Codes({{'a'}, {256}}), "a"},
      // The first code is taken as a byte even when it is 256; a chain that ends
      // there reads a defined 0.
      {"a chain through code 256", Codes({{256}, {'a'}, {257}}), std::string("\0a\0a", 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Unshrink(c.compressed), c.expected);
  }
}

TEST(UnShrink, OutputPastTheDeclaredSizeIsStopped) {
  const std::string data = SampleData(40000);
  const DecodeResult result = DecodeEntry(kShrunk, 0, Shrink(data), 1000);
  EXPECT_TRUE(result.tooBig);
}

}  // namespace
