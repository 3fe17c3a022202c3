#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/stream.h"
#include "unzip/extract_io.h"

namespace {

// The engine's readers and writer over compressed bytes held in memory.
class Engine : public TXrUnZip {
public:
  explicit Engine(const std::string& compressed, int64_t declared = -1)
      : data_(compressed), input_(data_.data(), data_.size()), state_(&input_) {
    DoProcessMessages = false;
    const int64_t size = declared < 0 ? int64_t(compressed.size()) : declared;
    state_.CompRemaining = size;
    state_.ArchiveRemaining = size;
    state_.UncompSize = INT64_MAX;
    state_.OutStream = &output;
  }
  TExtractState& State() { return state_; }
  uint16_t Bits(uint32_t n) {
    uint16_t v = 0xFFFF;
    ReadBits(state_, n, v);
    return v;
  }
  int32_t Byte(uint16_t& b) { return ReadByte(state_, b); }
  void Need(uint32_t n, uint32_t& b, uint32_t& k) { NeedBits(state_, n, b, k); }
  using TXrUnZip::DumpBits;
  void Put(uint8_t b) { WriteByte(state_, b); }
  void Window(uint32_t n) { FlushWindow(state_, n); }
  void Flush() { FlushOutput(state_); }

  TMemoryStream output;

private:
  std::string data_;
  TReadOnlyMemoryStream input_;
  TExtractState state_;
};

TEST(ExtractIo, BitsComeLeastSignificantFirstAndEndWithoutWrapping) {
  Engine e(std::string("\xB5\x3C\xFF", 3));
  EXPECT_EQ(e.Bits(3), 0x5);
  EXPECT_EQ(e.Bits(5), 0x16);
  EXPECT_EQ(e.Bits(12), 0xF3C);
  EXPECT_EQ(e.State().InputEnded, 0);
  // Four bits are left of the eight asked for.
  EXPECT_EQ(e.Bits(8), 0xF);
  EXPECT_EQ(e.State().InputEnded, -1);
  EXPECT_EQ(e.State().BitCount, 0u);
  EXPECT_EQ(e.Bits(1), 0);
  EXPECT_EQ(e.State().InputEnded, -1);
}

TEST(ExtractIo, ByteReaderStopsAtTheEntrysCompressedSize) {
  Engine e("abcd", 2);
  uint16_t b = 0;
  EXPECT_EQ(e.Byte(b), 8);
  EXPECT_EQ(b, 'a');
  EXPECT_EQ(e.Byte(b), 8);
  EXPECT_EQ(b, 'b');
  EXPECT_EQ(e.Byte(b), 0);
  EXPECT_EQ(b, 'b');
  EXPECT_EQ(e.State().CompRemaining, -1);
}

TEST(ExtractIo, ArchiveShorterThanTheEntryIsAPrematureEnd) {
  Engine e(std::string(50, 'x'), 100);
  uint16_t b = 0;
  try {
    e.Byte(b);
    FAIL() << "no error";
  } catch (const EFatalUnzipError& error) {
    EXPECT_EQ(error.Message(), u"Premature end of file reached");
  }
}

TEST(ExtractIo, CallerHeldBitsAllowTwoBytesPastTheEnd) {
  Engine e("\xAA");
  uint32_t b = 0, k = 0;
  e.Need(8, b, k);
  EXPECT_EQ(b, 0xAAu);
  Engine::DumpBits(8, b, k);
  e.Need(16, b, k);  // two phantom zero bytes
  EXPECT_EQ(b, 0u);
  EXPECT_EQ(k, 16u);
  Engine::DumpBits(16, b, k);
  EXPECT_THROW(e.Need(1, b, k), EFatalUnzipError);
}

TEST(ExtractIo, WindowCopiesFlushAtEachFullBlock) {
  Engine e("");
  for (int i = 0; i < 32760; ++i) e.Put(uint8_t(i));
  for (size_t i = 0; i < e.State().Slide.size(); ++i) e.State().Slide[i] = uint8_t(0xA0 + i % 7);
  e.Window(100);
  EXPECT_EQ(e.output.Size(), 32768);
  EXPECT_EQ(e.State().OutCount, 92u);
  e.Flush();
  ASSERT_EQ(e.output.Size(), 32860);
  const uint8_t* out = e.output.Memory();
  EXPECT_EQ(out[32759], uint8_t(32759));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(out[32760 + i], uint8_t(0xA0 + i % 7)) << i;
  e.Flush();  // nothing pending: nothing written
  EXPECT_EQ(e.output.Size(), 32860);
}

// Inflate hands over several blocks at once; each is still reported on its own, and the
// first that would pass the uncompressed size is written no more than what follows it.
TEST(ExtractIo, BlocksFlushedTogetherAreReportedOneByOne) {
  const struct {
    int64_t declared;
    uint32_t pending;
    int64_t written;
    std::vector<int32_t> percentages;
    bool tooLarge;
  } cases[] = {
      {2 * 32768 + 50, 2 * 32768 + 50, 2 * 32768 + 50, {50, 100, 100}, false},
      {2 * 32768 + 50, 3 * 32768, 2 * 32768, {50, 100}, true},
      {10, 32768 + 5, 0, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pending);
    Engine e("");
    e.State().UncompSize = c.declared;
    std::vector<int32_t> percentages;
    e.OnFilePercentDone = [&](TXrUnZip&, int32_t percent) { percentages.push_back(percent); };
    for (uint32_t i = 0; i < c.pending; ++i) e.State().OutBuf[i] = uint8_t(i * 7);
    e.State().OutCount = c.pending;
    bool tooLarge = false;
    try {
      e.Flush();
    } catch (const EBiggerThanUncompressed&) {
      tooLarge = true;
    }
    EXPECT_EQ(tooLarge, c.tooLarge);
    EXPECT_EQ(e.output.Size(), c.written);
    EXPECT_EQ(e.State().BytesWritten, c.written);
    EXPECT_EQ(percentages, c.percentages);
    EXPECT_EQ(e.State().OutCount, 0u);
    for (int64_t i = 0; i < c.written; ++i)
      ASSERT_EQ(e.output.Memory()[i], uint8_t(i * 7)) << i;
  }
}

}  // namespace
