#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/stream.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
constexpr int64_t kGiB = int64_t(1) << 30;

std::string Utf8(const Exception& e) { return ToUtf8(e.Message()); }

// A stream that only pretends to hold size bytes (all 'x') and hands out at most
// 'chunk' bytes a call: for positions beyond 4 GiB and for partial transfers.
class FakeStream : public TStream {
public:
  FakeStream(int64_t size, int32_t chunk) : size_(size), chunk_(chunk) {}
  int32_t Read(void* buffer, int32_t count) override {
    if (count <= 0 || position_ >= size_) return 0;
    const int32_t n = int32_t(std::min<int64_t>({count, chunk_, size_ - position_}));
    std::memset(buffer, 'x', size_t(n));
    position_ += n;
    return n;
  }
  int32_t Write(const void*, int32_t count) override {
    if (count <= 0) return 0;
    const int32_t n = std::min(count, chunk_);
    position_ += n;
    if (position_ > size_) size_ = position_;
    return n;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                         : origin == TSeekOrigin::soCurrent ? position_
                                                            : size_;
    if (base + offset < 0) throw EStreamError(u"Invalid stream position");
    position_ = base + offset;
    return position_;
  }

private:
  int64_t size_;
  int32_t chunk_;
  int64_t position_ = 0;
};

const uint8_t kTen[10] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

// The three seekable kinds, each holding "0123456789" at position 0.
struct StreamKind {
  const char* name;
  std::function<std::unique_ptr<TStream>(const TempDir&)> make;
};

std::vector<StreamKind> Kinds() {
  return {
      {"memory",
       [](const TempDir&) {
         auto s = std::make_unique<TMemoryStream>();
         s->WriteBuffer(kTen, 10);
         s->SetPosition(0);
         return std::unique_ptr<TStream>(std::move(s));
       }},
      {"read-only memory",
       [](const TempDir&) {
         return std::unique_ptr<TStream>(new TReadOnlyMemoryStream(kTen, 10));
       }},
      {"file",
       [](const TempDir& dir) {
         auto s = std::make_unique<TFileStream>(dir.File(u"ten.bin"), fmCreate);
         s->WriteBuffer(kTen, 10);
         s->SetPosition(0);
         return std::unique_ptr<TStream>(std::move(s));
       }},
  };
}
}  // namespace

TEST(Stream, NonPositiveCountsTransferNothing) {
  TempDir dir;
  for (const auto& kind : Kinds()) {
    auto s = kind.make(dir);
    uint8_t buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    for (const int32_t count : {0, -1, INT_MIN}) {
      EXPECT_EQ(s->Read(buffer, count), 0) << kind.name << " " << count;
      EXPECT_EQ(s->Write(buffer, count), 0) << kind.name << " " << count;
      EXPECT_EQ(s->Position(), 0) << kind.name;
      EXPECT_EQ(s->Size(), 10) << kind.name;
    }
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_NO_THROW(s->ReadBuffer(buffer, 0));
    EXPECT_THROW(s->ReadBuffer(buffer, -1), EReadError) << kind.name;
  }
}

TEST(Stream, SeekTargets) {
  struct Case {
    int64_t start;
    int64_t offset;
    TSeekOrigin origin;
    int64_t expected;  // -1: EStreamError
  } cases[] = {
      {0, 4, TSeekOrigin::soBeginning, 4},
      {4, 3, TSeekOrigin::soCurrent, 7},
      {4, -4, TSeekOrigin::soCurrent, 0},
      {4, -5, TSeekOrigin::soCurrent, -1},
      {0, -1, TSeekOrigin::soBeginning, -1},
      {0, -3, TSeekOrigin::soEnd, 7},
      {0, -10, TSeekOrigin::soEnd, 0},
      {0, -11, TSeekOrigin::soEnd, -1},
      {0, 5, TSeekOrigin::soEnd, 15},  // past the end is allowed
      {0, 6 * kGiB, TSeekOrigin::soBeginning, 6 * kGiB},
      {0, INT64_MIN, TSeekOrigin::soCurrent, -1},
  };
  TempDir dir;
  for (const auto& kind : Kinds()) {
    for (const auto& c : cases) {
      auto s = kind.make(dir);
      s->SetPosition(c.start);
      SCOPED_TRACE(std::string(kind.name) + " offset " + std::to_string(c.offset));
      if (c.expected < 0) {
        EXPECT_THROW(s->Seek(c.offset, c.origin), EStreamError);
        EXPECT_EQ(s->Position(), c.start);  // a refused seek leaves the position
      } else {
        EXPECT_EQ(s->Seek(c.offset, c.origin), c.expected);
        EXPECT_EQ(s->Position(), c.expected);
      }
    }
  }
}

TEST(Stream, ReadsPastTheEndAndShortBuffers) {
  TempDir dir;
  for (const auto& kind : Kinds()) {
    auto s = kind.make(dir);
    SCOPED_TRACE(kind.name);
    uint8_t buffer[16] = {};
    s->SetPosition(7);
    EXPECT_EQ(s->Read(buffer, 16), 3);
    EXPECT_EQ(std::memcmp(buffer, "789", 3), 0);
    EXPECT_EQ(s->Read(buffer, 16), 0);
    s->SetPosition(20);
    EXPECT_EQ(s->Read(buffer, 1), 0);
    s->SetPosition(8);
    try {
      s->ReadBuffer(buffer, 3);
      ADD_FAILURE() << "short read passed";
    } catch (const EReadError& e) {
      EXPECT_EQ(Utf8(e), "Stream read error");
    }
  }
}

TEST(Stream, BufferTransfersContinuePartialCalls) {
  FakeStream s(100, 3);
  uint8_t buffer[50];
  s.ReadBuffer(buffer, 50);  // 17 calls of at most 3 bytes
  EXPECT_EQ(s.Position(), 50);
  s.WriteBuffer(buffer, 50);
  EXPECT_EQ(s.Position(), 100);
}

TEST(Stream, WriteBufferOnReadOnlyMemoryRaises) {
  TReadOnlyMemoryStream s(kTen, 10);
  try {
    s.WriteBuffer("a", 1);
    ADD_FAILURE() << "write passed";
  } catch (const EWriteError& e) {
    EXPECT_EQ(Utf8(e), "Stream write error");
  }
  EXPECT_THROW(s.SetSize(3), EStreamError);
}

TEST(Stream, SizesBeyond4GiBStay64Bit) {
  FakeStream s(5 * kGiB + 7, 1 << 20);
  EXPECT_EQ(s.Size(), 5 * kGiB + 7);  // the default GetSize seeks and restores
  EXPECT_EQ(s.Position(), 0);
  s.SetPosition(4 * kGiB + 1);
  EXPECT_EQ(s.Position(), 4 * kGiB + 1);
}

TEST(MemoryStream, WritePastTheEndFillsZeros) {
  TMemoryStream s;
  s.SetPosition(4);
  s.WriteBuffer("ab", 2);
  ASSERT_EQ(s.Size(), 6);
  EXPECT_EQ(std::memcmp(s.Memory(), "\0\0\0\0ab", 6), 0);
}

TEST(MemoryStream, SetSize) {
  struct Case {
    int64_t size;
    int64_t position;   // after SetSize, from position 8
    const char* error;  // nullptr, "memory" or "stream"
  } cases[] = {
      {20, 8, nullptr},         {3, 3, nullptr},  // shrinking pulls the position in
      {0, 0, nullptr},          {-1, 8, "stream"}, {TMemoryStream::MaxSize() + 1, 8, "memory"},
      {INT64_MAX, 8, "memory"},
  };
  for (const auto& c : cases) {
    TMemoryStream s;
    s.WriteBuffer(kTen, 10);
    s.SetPosition(8);
    SCOPED_TRACE(c.size);
    if (!c.error) {
      s.SetSize(c.size);
      EXPECT_EQ(s.Size(), c.size);
    } else if (std::string(c.error) == "memory") {
      EXPECT_THROW(s.SetSize(c.size), EOutOfMemory);
      EXPECT_EQ(s.Size(), 10);
    } else {
      EXPECT_THROW(s.SetSize(c.size), EStreamError);
    }
    EXPECT_EQ(s.Position(), c.position);
  }
}

TEST(MemoryStream, WriteAtAbsurdPositionRaisesOutOfMemory) {
  TMemoryStream s;
  for (const int64_t at : {INT64_MAX - 1, TMemoryStream::MaxSize(), 64 * kGiB}) {
    s.SetPosition(at);
    EXPECT_THROW(s.Write("abc", 3), EOutOfMemory) << at;
    EXPECT_EQ(s.Size(), 0);
  }
}

TEST(MemoryStream, FileRoundTrip) {
  TempDir dir;
  TMemoryStream s;
  s.WriteBuffer(kTen, 10);
  s.SaveToFile(dir.File(u"m.bin"));
  TMemoryStream t;
  t.WriteBuffer("junk", 4);
  t.LoadFromFile(dir.File(u"m.bin"));
  EXPECT_EQ(t.Bytes(), s.Bytes());
  EXPECT_EQ(t.Position(), 0);
}

TEST(FileStream, OpenErrorsNameTheFile) {
  TempDir dir;
  const String missing = dir.File(u"missing.txt");
  try {
    TFileStream f(missing, fmOpenRead | fmShareDenyWrite);
    ADD_FAILURE() << "opened a missing file";
  } catch (const EFOpenError& e) {
    const String prefix = u"Cannot open file \"" + missing + u"\". ";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix) << Utf8(e);
    EXPECT_GT(e.Message().size(), prefix.size());  // the system's reason follows
  }
  const String inMissingFolder = TempDir::Join(dir.File(u"no-such-folder"), u"x.txt");
  try {
    TFileStream f(inMissingFolder, fmCreate);
    ADD_FAILURE() << "created a file in a missing folder";
  } catch (const EFCreateError& e) {
    const String prefix = u"Cannot create file \"" + inMissingFolder + u"\". ";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix) << Utf8(e);
  }
  // A folder is not a file.
  EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError);
}

TEST(FileStream, ModesGiveTheirAccess) {
  TempDir dir;
  const String name = dir.File(u"modes.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer(kTen, 10);
  }
  {
    TFileStream f(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 10);
    EXPECT_THROW(f.WriteBuffer("a", 1), EWriteError);
  }
  {
    TFileStream f(name, fmOpenWrite | fmShareDenyNone);
    f.SetPosition(10);
    f.WriteBuffer("A", 1);
    uint8_t b;
    f.SetPosition(0);
    EXPECT_THROW(f.ReadBuffer(&b, 1), EReadError);
  }
  {
    TFileStream f(name, fmOpenReadWrite);
    EXPECT_EQ(f.Size(), 11);
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
  }
  {
    TFileStream f(name, fmCreate);  // replaces
    EXPECT_EQ(f.Size(), 0);
  }
  EXPECT_THROW(TFileStream(name, 0x0003), EFOpenError);  // no such access value
}

#ifdef _WIN32
TEST(FileStream, ShareModesAreHonoured) {
  TempDir dir;
  const String name = dir.File(u"share.bin");
  { TFileStream f(name, fmCreate); }
  struct Case {
    uint16_t first, second;
    bool secondOpens;
  } cases[] = {
      {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
      {fmOpenRead | fmShareDenyWrite, fmOpenWrite | fmShareDenyNone, false},
      {fmOpenRead | fmShareDenyNone, fmOpenReadWrite | fmShareDenyNone, true},
      {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
      {fmOpenReadWrite | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
      {fmCreate, fmOpenRead | fmShareDenyNone, false},
  };
  for (const auto& c : cases) {
    TFileStream first(name, c.first);
    bool opened = true;
    try {
      TFileStream second(name, c.second);
    } catch (const EFOpenError&) {
      opened = false;
    }
    EXPECT_EQ(opened, c.secondOpens) << std::hex << c.first << " then " << c.second;
  }
}
#else
TEST(FileStream, NativeNamesAreUtf8AndKeepBackslashes) {
  TempDir dir;
  const String name = dir.File(u"a\\b \u00e9\u20ac.txt");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("x", 1);
  }
  EXPECT_EQ(access((ToUtf8(dir.Path()) + "/a\\b \xC3\xA9\xE2\x82\xAC.txt").c_str(), F_OK), 0);
}
#endif

TEST(FileStream, SparseFileBeyond4GiB) {
  TempDir dir;
  TFileStream f(dir.File(u"big.bin"), fmCreate);
  const int64_t size = 4 * kGiB + 100;
  f.SetSize(size);
  EXPECT_EQ(f.Size(), size);
  EXPECT_EQ(f.Seek(4 * kGiB + 50, TSeekOrigin::soBeginning), 4 * kGiB + 50);
  f.WriteBuffer("abc", 3);
  EXPECT_EQ(f.Position(), 4 * kGiB + 53);
  EXPECT_EQ(f.Seek(-50, TSeekOrigin::soEnd), 4 * kGiB + 50);
  char back[3];
  f.ReadBuffer(back, 3);
  EXPECT_EQ(std::memcmp(back, "abc", 3), 0);
  f.SetSize(4 * kGiB + 1);  // a position past the new end moves to it
  EXPECT_EQ(f.Position(), 4 * kGiB + 1);
  EXPECT_EQ(f.Size(), 4 * kGiB + 1);
}

TEST(FileStream, WriteToAFullDeviceRaises) {
#ifdef _WIN32
  const String full = u"Z:\\dev\\full";
#else
  const String full = u"/dev/full";
#endif
  std::unique_ptr<TFileStream> f;
  try {
    f = std::make_unique<TFileStream>(full, fmOpenWrite | fmShareDenyNone);
  } catch (const EFOpenError&) {
    GTEST_SKIP() << "no full device here";
  }
  EXPECT_THROW(f->WriteBuffer("abc", 3), EWriteError);
}

TEST(FileStream, CloseReportsWhatTheSystemReports) {
  TempDir dir;
  const String name = dir.File(u"closed.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("abc", 3);
    EXPECT_NO_THROW(f.Close());
    EXPECT_NO_THROW(f.Close());  // closed already: nothing to do
  }
  EXPECT_EQ(TFileStream(name, fmOpenRead).Size(), 3);

  TFileStream f(name, fmCreate);
  const NativeHandle h = f.Handle();
#ifdef _WIN32
  // A handle protected from closing makes the close fail.
  ASSERT_TRUE(SetHandleInformation(h, HANDLE_FLAG_PROTECT_FROM_CLOSE,
                                   HANDLE_FLAG_PROTECT_FROM_CLOSE));
#else
  ASSERT_EQ(::close(int(h)), 0);  // closed behind the stream's back
#endif
  EXPECT_THROW(f.Close(), EWriteError);
  EXPECT_NO_THROW(f.Close());  // the failure is told once
#ifdef _WIN32
  SetHandleInformation(h, HANDLE_FLAG_PROTECT_FROM_CLOSE, 0);
  CloseHandle(h);
#endif
}
