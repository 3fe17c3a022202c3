#include "unzip/buffer_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "base/exception.h"

namespace {

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i * 7 + 3);
  return v;
}

// A memory stream that records the calls reaching it and can refuse writes beyond a
// limit (answering short, as a full disk does).
class TRecordingStream : public TMemoryStream {
public:
  int32_t Read(void* buffer, int32_t count) override {
    reads.push_back(count);
    return TMemoryStream::Read(buffer, count);
  }
  int32_t Write(const void* buffer, int32_t count) override {
    writes.push_back(count);
    const int64_t room = std::max<int64_t>(0, writeLimit - Position());
    return TMemoryStream::Write(buffer, int32_t(std::min<int64_t>(count, room)));
  }
  std::vector<int32_t> reads, writes;
  int64_t writeLimit = INT64_MAX;
};

// Reports a size beyond 4 GiB without holding it: byte i reads as uint8_t(i ^ (i >> 32)).
class TFakeBigStream : public TStream {
public:
  static constexpr int64_t kSize = (int64_t(6) << 30) + 123;
  static uint8_t ByteAt(int64_t i) { return uint8_t(uint64_t(i) ^ (uint64_t(i) >> 32)); }
  int32_t Read(void* buffer, int32_t count) override {
    const int32_t n = int32_t(std::max<int64_t>(0, std::min<int64_t>(count, kSize - pos_)));
    auto* out = static_cast<uint8_t*>(buffer);
    for (int32_t i = 0; i < n; ++i) out[i] = ByteAt(pos_ + i);
    pos_ += n;
    return n;
  }
  int32_t Write(const void*, int32_t count) override {
    lastWriteAt = pos_;
    pos_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                         : origin == TSeekOrigin::soCurrent ? pos_
                                                            : kSize;
    pos_ = base + offset;
    return pos_;
  }
  int64_t lastWriteAt = -1;

private:
  int64_t pos_ = 0;
};

TRecordingStream* Filled(TRecordingStream& s, size_t n) {
  const auto bytes = Pattern(n);
  s.TMemoryStream::Write(bytes.data(), int32_t(n));
  s.SetPosition(0);
  s.reads.clear();
  return &s;
}

TEST(BufferStreamRead, StopsAtTheEndOfTheSource) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 5), 16);
  uint8_t buf[10];
  EXPECT_EQ(s.Read(buf, 10), 5);
  EXPECT_EQ(s.Read(buf, 10), 0);
  EXPECT_EQ(s.Position(), 5);
}

TEST(BufferStreamRead, SmallReadsShareOneFill) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 100), 64);
  int fills = 0;
  s.OnBufferFilled = [&](TObject* sender) {
    EXPECT_EQ(sender, &s);
    ++fills;
  };
  const auto expected = Pattern(100);
  std::vector<uint8_t> got(100);
  for (int i = 0; i < 25; ++i) ASSERT_EQ(s.Read(&got[size_t(i) * 4], 4), 4);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(source.reads, (std::vector<int32_t>{64, 64}));
  EXPECT_EQ(fills, 2);
}

TEST(BufferStreamRead, LargeReadsBypassAnEmptyBuffer) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 1000), 64);
  std::vector<uint8_t> got(1000);
  EXPECT_EQ(s.Read(got.data(), 10), 10);       // one fill of 64
  EXPECT_EQ(s.Read(&got[10], 300), 300);       // 54 buffered, 246 direct
  EXPECT_EQ(s.Read(&got[310], 690), 690);      // direct
  EXPECT_EQ(got, Pattern(1000));
  EXPECT_EQ(source.reads, (std::vector<int32_t>{64, 246, 690}));
}

TEST(BufferStreamPutBack, StepsBackOverConsumedBytesOnly) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 20), 8);
  EXPECT_THROW(s.PutBack(1), EStreamError);  // right after construction
  uint8_t buf[3];
  ASSERT_EQ(s.Read(buf, 3), 3);
  s.PutBack(0xAB);
  EXPECT_EQ(s.Position(), 2);
  uint8_t next = 0;
  ASSERT_EQ(s.Read(&next, 1), 1);
  EXPECT_EQ(next, 0xAB);
  s.PutBack(1);
  s.PutBack(2);
  s.PutBack(3);
  try {
    s.PutBack(4);
    FAIL() << "no exception";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), u"Putback overflow");
  }
  s.Seek(5, TSeekOrigin::soBeginning);
  EXPECT_THROW(s.PutBack(1), EStreamError);  // after a seek
}

TEST(BufferStreamSeek, CurrentReportsWithoutTouchingTheBuffer) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 50), 16);
  uint8_t buf[5];
  s.Read(buf, 5);
  EXPECT_EQ(s.Seek(0, TSeekOrigin::soCurrent), 5);
  EXPECT_EQ(s.Pending(), 11);
  EXPECT_EQ(s.Seek(5, TSeekOrigin::soBeginning), 5);  // same place: buffer kept
  EXPECT_EQ(s.Pending(), 11);
  EXPECT_EQ(source.reads.size(), 1u);
}

TEST(BufferStreamSeek, EndCountsBackWhateverTheSign) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 50), 16);
  EXPECT_EQ(s.Seek(-10, TSeekOrigin::soEnd), 40);
  EXPECT_EQ(s.Seek(10, TSeekOrigin::soEnd), 40);
  EXPECT_EQ(s.Seek(0, TSeekOrigin::soEnd), 50);
  uint8_t b = 0;
  s.Seek(-10, TSeekOrigin::soEnd);
  ASSERT_EQ(s.Read(&b, 1), 1);
  EXPECT_EQ(b, Pattern(50)[40]);
}

TEST(BufferStreamSeek, BadTargetsRaise) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 50), 16);
  uint8_t buf[4];
  s.Read(buf, 4);
  const struct {
    int64_t offset;
    TSeekOrigin origin;
  } cases[] = {
      {-1, TSeekOrigin::soBeginning},
      {-5, TSeekOrigin::soCurrent},
      {-51, TSeekOrigin::soEnd},
      {INT64_MIN, TSeekOrigin::soEnd},
      {INT64_MAX, TSeekOrigin::soCurrent},
  };
  for (const auto& c : cases) EXPECT_THROW(s.Seek(c.offset, c.origin), EStreamError) << c.offset;
  EXPECT_EQ(s.Position(), 4);  // a refused seek moves nothing
  try {
    s.Seek(0, TSeekOrigin(3));
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"Invalid seek origin (3)");
  }
}

// The older Seek form, reached through the stream itself and through its base.
TEST(BufferStreamSeek, OlderFormTakesTheOriginAsANumber) {
  const struct {
    int32_t offset;
    uint16_t origin;
    int32_t expected;  // -1: "Invalid seek origin (origin)"
  } cases[] = {
      {7, 0, 7}, {-2, 1, 5}, {10, 2, 40}, {-10, 2, 40}, {0, 3, -1}, {0, 0xFFFF, -1},
  };
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 50), 16);
  TStream& asBase = s;
  for (TStream* target : {static_cast<TStream*>(&s), &asBase}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(c.offset) + ", " + std::to_string(c.origin));
      if (c.expected >= 0) {
        EXPECT_EQ(target->Seek(c.offset, c.origin), c.expected);
        continue;
      }
      try {
        target->Seek(c.offset, c.origin);
        ADD_FAILURE() << "no exception";
      } catch (const Exception& e) {
        EXPECT_EQ(ToUtf8(e.Message()), "Invalid seek origin (" + std::to_string(c.origin) + ")");
      }
    }
  }
}

// Filling and flushing as a caller drives them: each fires its notification once, a
// fill writes pending bytes before it reads, and a flush keeps the read-ahead.
TEST(BufferStream, FillAndFlushCalledDirectly) {
  TRecordingStream source;
  TS_BufferStream s(Filled(source, 40), 16);
  std::vector<std::string> events;
  s.OnBufferFilled = [&](TObject*) { events.push_back("filled"); };
  s.OnBufferFlushed = [&](TObject*) { events.push_back("flushed"); };

  EXPECT_TRUE(s.FillBuffer());
  EXPECT_EQ(s.Mode(), TStreamBufferMode::sbReading);
  EXPECT_EQ(s.Pending(), 16);
  EXPECT_TRUE(s.FlushBuffer());
  EXPECT_EQ(s.Pending(), 16);
  uint8_t b[4];
  ASSERT_EQ(s.Read(b, 4), 4);
  EXPECT_EQ(b[3], Pattern(40)[3]);
  EXPECT_EQ(source.reads, (std::vector<int32_t>{16}));

  // Unread read-ahead is dropped: the next fill starts where the source stands.
  EXPECT_TRUE(s.FillBuffer());
  EXPECT_EQ(s.Position(), 16);
  EXPECT_TRUE(s.FillBuffer());  // the last 8 bytes
  EXPECT_EQ(s.Pending(), 8);
  EXPECT_FALSE(s.FillBuffer());
  EXPECT_EQ(s.Mode(), TStreamBufferMode::sbIdle);

  s.Seek(0, TSeekOrigin::soBeginning);
  const uint8_t x[3] = {0xA1, 0xA2, 0xA3};
  ASSERT_EQ(s.Write(x, 3), 3);
  EXPECT_TRUE(s.FillBuffer());
  EXPECT_EQ(source.writes, (std::vector<int32_t>{3}));
  EXPECT_EQ(source.Memory()[2], 0xA3);
  ASSERT_EQ(s.Read(b, 1), 1);
  EXPECT_EQ(b[0], Pattern(40)[3]);

  s.BufferFilled();
  s.BufferFlushed();
  EXPECT_EQ(events, (std::vector<std::string>{"filled", "flushed", "filled", "filled", "filled",
                                              "flushed", "filled", "filled", "flushed"}));
}

TEST(BufferStreamWrite, KeepsTheTailPendingUntilAFlush) {
  TRecordingStream dest;
  {
    TS_BufferStream s(&dest, 8192);
    const auto bytes = Pattern(20000);
    EXPECT_EQ(s.Write(bytes.data(), 20000), 20000);
    EXPECT_EQ(dest.Size(), 16384);
    EXPECT_EQ(s.Pending(), 3616);
    EXPECT_EQ(s.Position(), 20000);
    EXPECT_EQ(s.Mode(), TStreamBufferMode::sbWriting);
  }
  EXPECT_EQ(dest.Bytes(), Pattern(20000));
}

TEST(BufferStreamWrite, PendingBytesCountInTheEnd) {
  TRecordingStream dest;
  TS_BufferStream s(&dest, 64);
  s.Write("abc", 3);
  EXPECT_EQ(dest.Size(), 0);
  EXPECT_EQ(s.Seek(0, TSeekOrigin::soEnd), 3);
  EXPECT_EQ(s.Seek(-1, TSeekOrigin::soEnd), 2);  // a new position: flushed
  EXPECT_EQ(dest.Size(), 3);
  s.Write("Z", 1);
  s.Close();
  EXPECT_EQ(std::string(dest.Bytes().begin(), dest.Bytes().end()), "abZ");
}

TEST(BufferStreamWrite, AnIdleBufferIsEmptyAfterAFlush) {
  // A write that ends exactly on a full buffer flushes it; a read that follows
  // must come from the source, not from the stale buffer.
  TRecordingStream dest;
  const auto bytes = Pattern(40);
  dest.TMemoryStream::Write(bytes.data(), 40);
  dest.SetPosition(0);
  TS_BufferStream s(&dest, 8);
  const uint8_t ones[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  ASSERT_EQ(s.Write(ones, 8), 8);
  EXPECT_EQ(s.Mode(), TStreamBufferMode::sbIdle);
  uint8_t got[4] = {};
  ASSERT_EQ(s.Read(got, 4), 4);
  EXPECT_EQ(0, std::memcmp(got, &bytes[8], 4));
  EXPECT_EQ(s.Position(), 12);
}

TEST(BufferStreamWrite, SwitchingToWritingDropsTheReadAhead) {
  TRecordingStream dest;
  TS_BufferStream s(Filled(dest, 30), 16);
  uint8_t buf[5];
  s.Read(buf, 5);
  s.Write("XY", 2);
  s.Close();
  auto expected = Pattern(30);
  expected[5] = 'X';
  expected[6] = 'Y';
  EXPECT_EQ(dest.Bytes(), expected);
}

TEST(BufferStreamWrite, ReturnsOnlyWhatReachedTheSource) {
  // Through a 16-byte buffer; whole buffers go straight to the source.
  const struct {
    int64_t limit;
    int32_t writeSize;
    int32_t expected;
  } cases[] = {
      {10, 20, 10},   // the direct 16 fall short at 10
      {0, 40, 0},     // nothing moves
      {20, 40, 20},   // the direct 32 fall short at 20
      {100, 20, 20},  // 16 direct, 4 pending
  };
  for (const auto& c : cases) {
    TRecordingStream dest;
    dest.writeLimit = c.limit;
    TS_BufferStream s(&dest, 16);
    const auto bytes = Pattern(size_t(c.writeSize));
    EXPECT_EQ(s.Write(bytes.data(), c.writeSize), c.expected) << c.limit;
    EXPECT_EQ(s.FlushFailed(), c.expected < c.writeSize) << c.limit;
  }
}

TEST(BufferStreamWrite, EarlierPendingBytesAreNotCountedTwice) {
  TRecordingStream dest;
  dest.writeLimit = 6;
  TS_BufferStream s(&dest, 8);
  const auto bytes = Pattern(8);
  EXPECT_EQ(s.Write(bytes.data(), 5), 5);  // pending
  // The flush of 8 (5 earlier + 3 of this call) writes 6: one byte of this call.
  EXPECT_EQ(s.Write(bytes.data(), 3), 1);
  EXPECT_TRUE(s.FlushFailed());
}

TEST(BufferStreamClose, RaisesAFailedFinalFlush) {
  TRecordingStream dest;
  dest.writeLimit = 2;
  TS_BufferStream s(&dest, 64);
  EXPECT_EQ(s.Write("abcdef", 6), 6);  // pending: not known yet
  EXPECT_THROW(s.Close(), EWriteError);
  EXPECT_TRUE(s.Closed());
  uint8_t b;
  EXPECT_THROW(s.Read(&b, 1), EStreamError);
  s.Close();  // a second close does nothing
}

TEST(BufferStreamClose, RaisesAnEarlierShortFlush) {
  TRecordingStream dest;
  dest.writeLimit = 10;
  TS_BufferStream s(&dest, 16);
  const auto bytes = Pattern(20);
  s.Write(bytes.data(), 20);
  EXPECT_THROW(s.Close(), EWriteError);
}

TEST(BufferStreamClose, SucceedsWhenEverythingArrived) {
  TRecordingStream dest;
  TS_BufferStream s(&dest, 16);
  int flushes = 0;
  s.OnBufferFlushed = [&](TObject*) { ++flushes; };
  s.Write("hello", 5);
  s.Close();
  EXPECT_EQ(dest.Size(), 5);
  EXPECT_EQ(flushes, 1);
}

TEST(BufferStreamSeek, FailedFlushBeforeAMoveRaisesSeekError) {
  TRecordingStream dest;
  dest.writeLimit = 1;
  TS_BufferStream s(&dest, 64);
  s.Write("abc", 3);
  try {
    s.Seek(0, TSeekOrigin::soBeginning);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"Seek error");
  }
}

TEST(BufferStream, PositionsBeyondFourGiB) {
  TFakeBigStream source;
  TS_BufferStream s(&source, 8192);
  const int64_t at = (int64_t(5) << 30) + 4093;  // straddles a buffer fill
  EXPECT_EQ(s.Seek(at, TSeekOrigin::soBeginning), at);
  uint8_t buf[16];
  ASSERT_EQ(s.Read(buf, 16), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(buf[i], TFakeBigStream::ByteAt(at + i));
  EXPECT_EQ(s.Position(), at + 16);
  EXPECT_EQ(s.Seek(-10, TSeekOrigin::soEnd), TFakeBigStream::kSize - 10);
  ASSERT_EQ(s.Read(buf, 16), 10);
  EXPECT_EQ(buf[9], TFakeBigStream::ByteAt(TFakeBigStream::kSize - 1));
  s.Seek(int64_t(1) << 32, TSeekOrigin::soBeginning);
  s.Write("x", 1);
  EXPECT_EQ(s.Position(), (int64_t(1) << 32) + 1);
  s.Seek(0, TSeekOrigin::soBeginning);
  EXPECT_EQ(source.lastWriteAt, int64_t(1) << 32);
}

TEST(BufferStream, MatchesAnUnbufferedStreamUnderMixedOperations) {
  {
    // Moved past the end with nothing pending: the end is the source's.
    TMemoryStream source;
    source.Write(Pattern(10).data(), 10);
    TS_BufferStream s(&source, 16);
    s.Seek(100, TSeekOrigin::soBeginning);
    EXPECT_EQ(s.Size(), 10);
    EXPECT_EQ(s.Position(), 100);
    EXPECT_EQ(s.Seek(-5, TSeekOrigin::soEnd), 5);
    // Pending bytes written past the end do belong to it.
    s.Seek(20, TSeekOrigin::soBeginning);
    s.Write("ab", 2);
    EXPECT_EQ(s.Size(), 22);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 20);
  }
  for (int32_t bufSize : {1, 7, 64, 4096}) {
    SCOPED_TRACE(bufSize);
    std::mt19937 rng(uint32_t(bufSize) * 7919u);
    TMemoryStream plain, under;
    const auto seed = Pattern(3000);
    plain.Write(seed.data(), 3000);
    under.Write(seed.data(), 3000);
    plain.SetPosition(0);
    under.SetPosition(0);
    {
      TS_BufferStream buffered(&under, bufSize);
      std::vector<uint8_t> a(10000), b(10000);
      for (int step = 0; step < 3000; ++step) {
        const int32_t n = int32_t(rng() % (rng() % 4 == 0 ? 9000 : 40));
        switch (rng() % 5) {
          case 0:
          case 1: {
            const int32_t ra = plain.Read(a.data(), n);
            const int32_t rb = buffered.Read(b.data(), n);
            ASSERT_EQ(ra, rb) << "step " << step;
            ASSERT_TRUE(std::equal(a.begin(), a.begin() + ra, b.begin())) << "step " << step;
            break;
          }
          case 2:
          case 3: {
            for (int32_t i = 0; i < n; ++i) a[size_t(i)] = uint8_t(rng());
            ASSERT_EQ(plain.Write(a.data(), n), buffered.Write(a.data(), n)) << "step " << step;
            break;
          }
          default: {
            // Targets up to 50 bytes past the end: moving there does not make the
            // stream longer, only a write does.
            const int64_t size = plain.Size();
            const int64_t target = int64_t(rng() % uint32_t(size + 51));
            switch (rng() % 3) {
              case 0: plain.Seek(target, TSeekOrigin::soBeginning);
                      buffered.Seek(target, TSeekOrigin::soBeginning); break;
              case 1: plain.Seek(target - plain.Position(), TSeekOrigin::soCurrent);
                      buffered.Seek(target - buffered.Position(), TSeekOrigin::soCurrent); break;
              default: {
                // Counting back from the end (both signs do in the buffered stream).
                const int64_t back = target % (size + 1);
                plain.Seek(-back, TSeekOrigin::soEnd);
                buffered.Seek(rng() % 2 ? back : -back, TSeekOrigin::soEnd);
                break;
              }
            }
          }
        }
        ASSERT_EQ(plain.Position(), buffered.Position()) << "step " << step;
        ASSERT_EQ(plain.Size(), buffered.Size()) << "step " << step;
      }
      buffered.Close();
    }
    EXPECT_EQ(plain.Bytes(), under.Bytes());
  }
}

TEST(BufferStream, RejectsAnEmptyBuffer) {
  TMemoryStream m;
  EXPECT_THROW(TS_BufferStream(&m, 0), EStreamError);
}

}  // namespace
