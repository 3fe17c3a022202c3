#include <gtest/gtest.h>

#include <string>

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

}  // namespace
