#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/unzip/legacy_codec_support.h"

namespace {

uint16_t MethodOf(int factor) { return uint16_t(factor + 1); }

std::string Unreduce(int factor, const std::string& compressed, int64_t size) {
  return DecodeEntry(MethodOf(factor), 0, compressed, size).output;
}

// A stream whose follower rows are all empty, so that each byte is sent as 8 bits.
std::string Plain(const std::string& bytes) {
  BitWriter out;
  for (int x = 0; x < 256; ++x) out.Put(0, 6);
  for (char c : bytes) out.Put(uint8_t(c), 8);
  return out.Bytes();
}

// Bytes 0 to N-1 of a pattern without 144, so that they go as they are.
std::string Literals(size_t n) {
  std::string s;
  for (size_t i = 0; s.size() < n; ++i)
    if (uint8_t(i * 7) != 144) s.push_back(char(i * 7));
  return s;
}

std::string CopyOf(std::string out, uint32_t distance, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
  return out;
}

TEST(UnReduce, CopiesByFactor) {
  struct Case {
    int factor;
    std::string copy;  // the bytes after 144
    uint32_t length, distance;
  };
  const std::vector<Case> cases = {
      // Factor 1: V = $FF is the longest length field (so a length byte follows) and
      // the high distance bit: length $7F + 5 + 3, distance 1 * 256 + C + 1.
      {1, std::string("\xFF\x05\x0A", 3), 0x7F + 5 + 3, 256 + 0x0A + 1},
      {1, std::string("\x01\x00", 2), 4, 1},
      {2, std::string("\xC2\x10", 2), 5, 3 * 256 + 0x10 + 1},
      {2, std::string("\x3F\x00\xFF", 3), 0x3F + 3, 256},
      {3, std::string("\xE1\x20", 2), 4, 7 * 256 + 0x20 + 1},
      {3, std::string("\x1F\xFF\x01", 3), 0x1F + 0xFF + 3, 2},
      {4, std::string("\xF3\xFF", 2), 6, 4096},
      {4, std::string("\x0F\x80\x00", 3), 0x0F + 0x80 + 3, 1},
  };
  const std::string before = Literals(4200);
  for (const Case& c : cases) {
    SCOPED_TRACE("factor " + std::to_string(c.factor) + ", distance " + std::to_string(c.distance));
    const std::string expected = CopyOf(before, c.distance, c.length) + "z";
    const std::string compressed = Plain(before + "\x90" + c.copy + "z");
    EXPECT_EQ(Unreduce(c.factor, compressed, int64_t(expected.size())), expected);
  }
}

TEST(UnReduce, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::string stream;  // the bytes before follower coding
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"144 then 0 is the byte 144", std::string("\x90\x00", 2), "\x90"},
      {"144 twice", std::string("a\x90\x00\x90\x00", 5), "a\x90\x90"},
      // Distance 10 from the second byte reaches before the first one.
      {"a copy from before the start gives zeros", std::string("ab\x90\x02\x09", 5),
       std::string("ab\0\0\0\0\0", 7)},
      {"an overlapping copy repeats the pattern", std::string("ab\x90\x03\x01", 5), "abababab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Unreduce(1, Plain(c.stream), int64_t(c.expected.size())), c.expected);
  }
}

TEST(UnReduce, FollowerSets) {
  // Row 'a' holds 'b', 'c' and 'd' (2-bit indexes); every other row is empty, so the
  // byte after anything but 'a' is 8 plain bits.
  BitWriter out;
  for (int x = 255; x >= 0; --x) {
    if (x != 'a') {
      out.Put(0, 6);
      continue;
    }
    out.Put(3, 6);
    for (char f : std::string("bcd")) out.Put(uint8_t(f), 8);
  }
  out.Put('a', 8);
  out.Put(0, 1), out.Put(1, 2);  // follower 1: 'c'
  out.Put('a', 8);
  out.Put(1, 1), out.Put('z', 8);  // not a follower: 8 bits
  out.Put('a', 8);
  out.Put(0, 1), out.Put(3, 2);  // past the three followers: what the row holds there
  EXPECT_EQ(Unreduce(2, out.Bytes(), 6), std::string("acaza\0", 6));
}

TEST(UnReduce, DecodesWhatTheEncoderWrites) {
  std::string runs = std::string(5000, 'r') + SampleData(3000, 4) + std::string(700, '\x90');
  for (int factor = 1; factor <= 4; ++factor) {
    for (bool followers : {true, false}) {
      for (const std::string& data : {SampleData(40000, uint32_t(factor)), runs}) {
        SCOPED_TRACE("factor " + std::to_string(factor) + (followers ? " with" : " without") +
                     " followers");
        const std::string compressed = Reduce(data, factor, followers);
        const DecodeResult result =
            DecodeEntry(MethodOf(factor), 0, compressed, int64_t(data.size()));
        EXPECT_FALSE(result.tooBig);
        EXPECT_TRUE(result.output == data) << "decoded " << result.output.size() << " bytes";
      }
    }
  }
}

// The output ends where the data ends, however large the declared size (which may
// pass 32 bits).
TEST(UnReduce, StopsAtTheEndOfTheData) {
  const std::string data = SampleData(20000);
  const std::string compressed = Reduce(data, 3);
  for (size_t cut : {size_t(0), size_t(100), compressed.size() / 2, compressed.size() - 1,
                     compressed.size()}) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const DecodeResult result =
        DecodeEntry(MethodOf(3), 0, compressed.substr(0, cut), (1LL << 32) + 5);
    EXPECT_FALSE(result.tooBig);
    EXPECT_EQ(result.output.size() < data.size(), cut < compressed.size());
    if (cut > 100) {
      EXPECT_GT(result.output.size(), 1000u);
    }
    // Beyond the data only the padding bits of the last byte can be read.
    EXPECT_LE(result.output.size(), data.size() + 8);
    const size_t common = std::min(result.output.size(), data.size());
    EXPECT_TRUE(result.output.compare(0, common, data, 0, common) == 0);
  }
}

}  // namespace
