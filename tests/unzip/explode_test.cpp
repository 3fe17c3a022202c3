#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/unzip/legacy_codec_support.h"
#include "unzip/explode_tables.h"
#include "unzip/xr_unzip.h"

namespace {

constexpr uint16_t kImploded = 6;

TEST(BuildHuffTables, ResultsAndLookupBits) {
  struct Case {
    const char* name;
    std::vector<uint16_t> lengths;
    int32_t requested;
    uint16_t result;
    int32_t lookup;  // M on exit
    bool built;
  };
  const std::vector<Case> cases = {
      {"all lengths 0", {0, 0, 0}, 7, kHuffComplete, 0, false},
      {"two codes of 1 bit", {1, 1}, 7, kHuffComplete, 1, true},
      {"one code of 1 bit", {0, 1, 0}, 7, kHuffComplete, 1, true},
      {"three codes of 1 bit", {1, 1, 1}, 7, kHuffOversubscribed, 1, false},
      {"oversubscribed at the longest length", {1, 2, 2, 2}, 7, kHuffOversubscribed, 2, false},
      {"incomplete", {2, 2, 2}, 7, kHuffIncomplete, 2, true},
      {"request above the longest code", {1, 2, 3, 3}, 9, kHuffComplete, 3, true},
      {"request below the shortest code", {3, 3, 3, 3, 3, 3, 3, 3}, 1, kHuffComplete, 3, true},
      {"length above 16", {17, 1}, 7, kHuffOversubscribed, 7, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    THuffTables t;
    int32_t m = c.requested;
    EXPECT_EQ(
        BuildHuffTables(c.lengths.data(), uint32_t(c.lengths.size()), 256, {}, {}, t, m),
        c.result);
    EXPECT_EQ(m, c.lookup);
    EXPECT_EQ(!t.Empty(), c.built);
    // Tables not handed out hold no memory; freed tables give theirs back.
    if (!c.built) {
      EXPECT_EQ(t.Entries.capacity(), 0u);
    }
    FreeHuffTables(t);
    EXPECT_TRUE(t.Empty());
    EXPECT_EQ(t.Entries.capacity(), 0u);
  }
}

// Codes longer than the lookup bits continue in sub-tables.
TEST(BuildHuffTables, LongCodesGoThroughSubTables) {
  const std::vector<uint8_t> deep = DeepLengths(64);
  const std::vector<uint16_t> lengths(deep.begin(), deep.end());
  std::vector<uint16_t> base(64), extra(64, 0);
  for (uint16_t i = 0; i < 64; ++i) base[i] = uint16_t(100 + i);
  THuffTables t;
  int32_t m = 7;
  ASSERT_EQ(BuildHuffTables(lengths.data(), 64, 0, base, extra, t, m), kHuffComplete);
  EXPECT_EQ(m, 7);
  // Canonical codes: symbol 0 is "0", 1 is "10", ..., 9 is "1111111110"; the last
  // symbol is sixteen 1 bits. The tables are indexed with the bits in reading order.
  auto lookup = [&](uint32_t code, uint32_t bits) {
    uint32_t reversed = 0;
    for (uint32_t i = 0; i < bits; ++i) reversed |= ((code >> (bits - 1 - i)) & 1) << i;
    const THuffEntry* e = &t.Entries[reversed & ((1u << m) - 1)];
    uint32_t used = 0;
    while (e->Extra > kHuffLiteral) {
      used += e->Bits;
      const uint32_t more = e->Extra - 16u;
      e = &t.Entries[e->Value + ((reversed >> used) & ((1u << more) - 1))];
    }
    EXPECT_EQ(used + e->Bits, bits);
    return e->Value;
  };
  EXPECT_EQ(lookup(0b0, 1), 100u);
  EXPECT_EQ(lookup(0b1111111110, 10), 109u);
  EXPECT_EQ(lookup(0xFFFF, 16), 163u);
  EXPECT_EQ(lookup(0xFFFE, 16), 162u);
}

// Every bit string as long as the longest code, decoded through the tables as the
// decoder walks them, must give the value whose code begins it, with that code's length.
void ExpectEveryCodeDecodes(const std::vector<uint16_t>& lengths, int32_t requested) {
  const uint32_t n = uint32_t(lengths.size());
  // Canonical codes, first bit first: shorter codes first, then by value.
  const uint32_t longest = *std::max_element(lengths.begin(), lengths.end());
  std::vector<uint32_t> codes(n);
  uint32_t next = 0;
  for (uint32_t length = 1; length <= longest; ++length, next <<= 1)
    for (uint32_t v = 0; v < n; ++v)
      if (lengths[v] == length) codes[v] = next++;
  THuffTables t;
  int32_t m = requested;
  ASSERT_EQ(BuildHuffTables(lengths.data(), n, 256, {}, {}, t, m), kHuffComplete);
  for (uint32_t input = 0; input < (1u << longest); ++input) {
    // Bit 0 of Input is read first.
    const THuffEntry* e = &t.Entries[input & ((1u << m) - 1)];
    uint32_t used = 0;
    while (e->Extra > kHuffLiteral && e->Extra != kHuffInvalid) {
      used += e->Bits;
      const uint32_t more = e->Extra - 16u;
      const uint32_t index = e->Value + ((input >> used) & ((1u << more) - 1));
      ASSERT_LT(index, t.Entries.size());
      e = &t.Entries[index];
    }
    ASSERT_EQ(e->Extra, kHuffLiteral) << "input " << input;
    const uint32_t length = lengths[e->Value];
    uint32_t firstBits = 0;
    for (uint32_t i = 0; i < length; ++i) firstBits = (firstBits << 1) | ((input >> i) & 1);
    ASSERT_EQ(firstBits, codes[e->Value]) << "input " << input;
    ASSERT_EQ(used + e->Bits, length) << "input " << input;
  }
}

TEST(BuildHuffTables, EveryCodeDecodesWhateverTheLookupBits) {
  const std::vector<uint8_t> deep = DeepLengths(64);
  const struct {
    const char* name;
    std::vector<uint16_t> lengths;
    int32_t requested;
  } cases[] = {
      {"small lookup", {1, 2, 3, 3}, 1},
      {"small lookup, two bits", {1, 2, 3, 3}, 2},
      {"lengths jump by more than the lookup bits", {1, 3, 3, 3, 3}, 1},
      {"jump after a sub-table", {1, 2, 5, 5, 5, 5, 5, 5, 5, 5}, 1},
      {"jump over three tables", {1, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, 1},
      {"deep, 1 bit", {deep.begin(), deep.end()}, 1},
      {"deep, 3 bits", {deep.begin(), deep.end()}, 3},
      {"deep, 7 bits", {deep.begin(), deep.end()}, 7},
      {"flat", std::vector<uint16_t>(64, 6), 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectEveryCodeDecodes(c.lengths, c.requested);
  }
}

// A value beyond the caller's base and extra-bit arrays fails the build as something
// other than memory: nothing is handed out.
TEST(BuildHuffTables, AFaultDuringTheBuildGivesOneAndNoTables) {
  const std::vector<uint16_t> lengths = {1, 2, 2};
  const std::vector<uint16_t> base = {10}, extra = {0};
  THuffTables t;
  int32_t m = 2;
  EXPECT_EQ(BuildHuffTables(lengths.data(), 3, 0, base, extra, t, m), kHuffIncomplete);
  EXPECT_TRUE(t.Empty());
  m = 2;
  EXPECT_EQ(BuildHuffTables(lengths.data(), 3, 1, std::vector<uint16_t>{10, 11},
                            std::vector<uint16_t>{0, 0}, t, m),
            kHuffComplete);
}

struct Variant {
  const char* name;
  ImplodeOptions options;
};

std::vector<Variant> Variants() {
  std::vector<Variant> v;
  for (bool big : {false, true})
    for (bool literals : {false, true}) {
      ImplodeOptions o;
      o.bigDictionary = big;
      o.literalTree = literals;
      v.push_back({big ? (literals ? "8K, literal tree" : "8K, no literal tree")
                       : (literals ? "4K, literal tree" : "4K, no literal tree"),
                   o});
    }
  return v;
}

void ExpectRoundTrip(const std::string& data, const ImplodeOptions& options) {
  const std::string compressed = Implode(data, options);
  const uint16_t flags = ImplodeFlags(options);
  const DecodeResult result = DecodeEntry(kImploded, flags, compressed, int64_t(data.size()));
  EXPECT_FALSE(result.tooBig);
  EXPECT_TRUE(result.output == data) << "decoded " << result.output.size() << " of "
                                     << data.size() << " bytes";
  if (SevenZipAvailable()) {
    const auto oracle = SevenZipDecode(kImploded, flags, compressed, data);
    ASSERT_TRUE(oracle.has_value()) << "7zz refused the encoder's stream";
    EXPECT_TRUE(*oracle == data);
  }
}

TEST(Explode, DecodesWhatTheEncoderAndSevenZipAgreeOn) {
  // Long runs use the longest length code with its 8 extra bits.
  const std::string runs = std::string(1000, 'q') + SampleData(500, 9) + std::string(330, 'q');
  for (const Variant& v : Variants()) {
    for (const std::string& data : {SampleData(30000, 2), runs, std::string("a")}) {
      SCOPED_TRACE(std::string(v.name) + ", " + std::to_string(data.size()) + " bytes");
      ExpectRoundTrip(data, v.options);
    }
  }
}

TEST(Explode, CodesOfUpTo16Bits) {
  for (Variant v : Variants()) {
    SCOPED_TRACE(v.name);
    if (v.options.literalTree) v.options.literalLengths = DeepLengths(256);
    v.options.lengthLengths = DeepLengths(64);
    v.options.distanceLengths = DeepLengths(64);
    ExpectRoundTrip(SampleData(20000, 11), v.options);
  }
}

// The table layout changes nothing in the output, so the size at which the distance
// table takes 8 lookup bits is checked where it is decided.
class LookupBitsUnZip : public TXrUnZip {
public:
  using TXrUnZip::ExplodeDistanceBits;
};

TEST(Explode, DistanceLookupBitsFollowTheCompressedSize) {
  EXPECT_EQ(LookupBitsUnZip::ExplodeDistanceBits(0), 7);
  EXPECT_EQ(LookupBitsUnZip::ExplodeDistanceBits(200000), 7);
  EXPECT_EQ(LookupBitsUnZip::ExplodeDistanceBits(200001), 8);
  EXPECT_EQ(LookupBitsUnZip::ExplodeDistanceBits(INT64_MAX), 8);
}

// An entry of more than 200000 compressed bytes, decoded with the larger table.
TEST(Explode, LargeEntry) {
  std::string data;
  uint32_t x = 5;
  while (data.size() < 230000) {
    x = x * 1664525u + 1013904223u;
    data.push_back(char(x >> 24));
    if ((x >> 8) % 41 == 0) data += data.substr(data.size() / 2, 12);
  }
  ImplodeOptions options;
  options.bigDictionary = true;
  options.literalTree = true;
  options.distanceLengths = DeepLengths(64);
  ASSERT_GT(Implode(data, options).size(), 200000u);
  ExpectRoundTrip(data, options);
}

// A stream without a literal tree whose length and distance codes all take 6 bits.
class FlatStream {
public:
  FlatStream() {
    const std::string flat = TreeBytes(std::vector<uint8_t>(64, 6));
    head_ = flat + flat;
  }
  FlatStream& Literal(uint8_t b) {
    bits_.Put(1, 1);
    bits_.Put(b, 8);
    return *this;
  }
  // Length 2 to 65 + 255, distance 1 to 4096.
  FlatStream& Copy(uint32_t length, uint32_t distance) {
    bits_.Put(0, 1);
    bits_.Put((distance - 1) & 0x3F, 6);
    bits_.PutCodeMsbFirst(~((distance - 1) >> 6) & 0x3F, 6);
    const uint32_t code = std::min<uint32_t>(length - 2, 63);
    bits_.PutCodeMsbFirst(~code & 0x3F, 6);
    if (code == 63) bits_.Put(length - 2 - 63, 8);
    return *this;
  }
  std::string Bytes() const { return head_ + bits_.Bytes(); }

private:
  std::string head_;
  BitWriter bits_;
};

TEST(Explode, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::string compressed;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"literals are plain bytes", FlatStream().Literal('h').Literal('i').Bytes(), "hi"},
      {"lengths start at 2", FlatStream().Literal('x').Copy(2, 1).Bytes(), "xxx"},
      {"the longest length", FlatStream().Literal('x').Copy(65 + 255, 1).Bytes(),
       std::string(1 + 65 + 255, 'x')},
      {"a copy from before the start gives zeros", FlatStream().Literal('a').Copy(4, 10).Bytes(),
       std::string("a\0\0\0\0", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int64_t size = int64_t(c.expected.size());
    EXPECT_EQ(DecodeEntry(kImploded, 0, c.compressed, size).output, c.expected);
    if (SevenZipAvailable() && c.expected.find('\0') == std::string::npos) {
      EXPECT_EQ(SevenZipDecode(kImploded, 0, c.compressed, c.expected), c.expected);
    }
  }
}

// Trees that are not a complete code, or do not add up to their count, stop the entry
// before any output.
TEST(Explode, BadTreesGiveNoOutput) {
  const std::string flat = TreeBytes(std::vector<uint8_t>(64, 6));
  std::vector<uint8_t> incomplete(64, 7);
  std::vector<uint8_t> oversubscribed(64, 6);
  oversubscribed[0] = 1;
  const std::string data = FlatStream().Literal('a').Bytes().substr(2 * flat.size());
  struct Case {
    const char* name;
    std::string compressed;
  };
  const std::vector<Case> cases = {
      {"incomplete length tree", TreeBytes(incomplete) + flat + data},
      {"oversubscribed distance tree", flat + TreeBytes(oversubscribed) + data},
      {"lengths short of the count", std::string("\x00\xF5", 2) + flat + data},
      {"lengths past the count", std::string("\x04\xF5\xF5\xF5\xF5\x05", 6) + flat + data},
      {"cut inside a tree", flat.substr(0, 3)},
      {"no data", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeEntry(kImploded, 0, c.compressed, 1).output, "");
  }
}

// The output ends where the data ends, however large the declared size; a stream cut
// short ends it without an error and without making up more than the bits it had.
TEST(Explode, StopsAtTheEndOfTheData) {
  const std::string data = SampleData(20000, 6);
  for (const Variant& v : Variants()) {
    const std::string compressed = Implode(data, v.options);
    for (size_t keep : {compressed.size() / 2, compressed.size() - 1, compressed.size()}) {
      SCOPED_TRACE(std::string(v.name) + ", cut to " + std::to_string(keep));
      DecodeResult result;
      // A declared size past 32 bits.
      ASSERT_NO_THROW(result = DecodeEntry(kImploded, ImplodeFlags(v.options),
                                           compressed.substr(0, keep), (1LL << 32) + 5));
      if (keep == compressed.size()) {
        // The padding bits of the last byte may still be read as a symbol.
        EXPECT_TRUE(result.output.compare(0, data.size(), data) == 0);
        EXPECT_LE(result.output.size(), data.size() + 400);
        continue;
      }
      EXPECT_FALSE(result.tooBig);
      // Losing the last byte may go unseen: the zeros given in its place can be the
      // bits it held. The entry's CRC has the last word.
      EXPECT_LE(result.output.size(), data.size());
      if (keep < compressed.size() - 1) {
        EXPECT_LT(result.output.size(), data.size());
      }
      // What came before the cut is right; only the last symbols may be made up.
      const size_t sure = result.output.size() > 400 ? result.output.size() - 400 : 0;
      EXPECT_TRUE(result.output.substr(0, sure) == data.substr(0, sure));
    }
  }
}

}  // namespace
