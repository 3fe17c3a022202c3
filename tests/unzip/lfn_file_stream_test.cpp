#include "unzip/lfn_file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/exception.h"
#include "tests/testlib/test_paths.h"
#include "unzip/zip_file_routines.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const String& name) {
  std::ifstream in(fs::u8path(ToUtf8(HostFileName(name))), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

String Below(const ScratchDir& dir, const String& rest) { return dir.Path() + u"\\" + rest; }

TEST(LFNFileStream, WritesAFileAndReadsItBack) {
  ScratchDir dir("lfn-roundtrip");
  const String name = Below(dir, u"out.bin");
  std::string data(20000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 13);
  {
    TLFNFileStream out(name, fmCreate, true, 8192);
    out.WriteBuffer(data.data(), int32_t(data.size()));
    EXPECT_EQ(out.Size(), 20000);  // pending bytes included
    out.Close();
  }
  EXPECT_EQ(ReadAll(name), data);
  TLFNFileStream in(name, fmOpenRead | fmShareDenyWrite, false, 8192);
  EXPECT_NE(in.Handle(), InvalidNativeHandle());
  std::string back(20000, '\0');
  in.Seek(100, TSeekOrigin::soBeginning);
  in.ReadBuffer(&back[100], 19900);
  EXPECT_EQ(back.substr(100), data.substr(100));
  EXPECT_EQ(in.Size(), 20000);
  EXPECT_EQ(in.Position(), 20000);
}

TEST(LFNFileStream, FreeingWritesPendingBytes) {
  ScratchDir dir("lfn-free");
  const String name = Below(dir, u"a.txt");
  {
    TLFNFileStream out(name, fmCreate, false, 8192);
    out.WriteBuffer("hello", 5);
  }
  EXPECT_EQ(ReadAll(name), "hello");
}

TEST(LFNFileStream, SetSizeWritesPendingBytesFirst) {
  ScratchDir dir("lfn-setsize");
  const String name = Below(dir, u"a.txt");
  {
    TLFNFileStream out(name, fmCreate, false, 64);
    out.WriteBuffer("0123456789", 10);
    out.SetSize(4);
    EXPECT_EQ(out.Size(), 4);
    out.SetSize(6);
    out.Seek(0, TSeekOrigin::soBeginning);
    out.WriteBuffer("AB", 2);
    out.Close();
  }
  EXPECT_EQ(ReadAll(name), std::string("AB23\0\0", 6));
}

TEST(LFNFileStream, PreallocatedOutputKeepsItsData) {
  // The way output files are written: size set to the expected size, then position 0.
  ScratchDir dir("lfn-prealloc");
  const String name = Below(dir, u"a.bin");
  TLFNFileStream out(name, fmCreate, false, 8192);
  out.SetSize(9000);
  out.SetPosition(0);
  std::vector<char> data(9000, 'q');
  out.WriteBuffer(data.data(), 9000);
  out.Close();
  EXPECT_EQ(ReadAll(name), std::string(9000, 'q'));
}

TEST(LFNFileStream, OpenErrorsPassThrough) {
  ScratchDir dir("lfn-errors");
  EXPECT_THROW(TLFNFileStream(Below(dir, u"missing.zip"), fmOpenRead | fmShareDenyWrite, false, 8192),
               EFOpenError);
  EXPECT_THROW(TLFNFileStream(Below(dir, u"no\\such\\dir.bin"), fmCreate, false, 8192),
               EFCreateError);
}

// Reads whether freeing the stream will write the file to disk.
class TSyncProbe : public TLFNFileStream {
public:
  using TLFNFileStream::TLFNFileStream;
  bool SyncOnFree() const { return FSyncOnFree; }
  // The handles the close asked the system to write to disk.
  std::vector<NativeHandle> synced;

protected:
  bool SyncHandle(NativeHandle handle) override {
    synced.push_back(handle);
    return TLFNFileStream::SyncHandle(handle);
  }
};

TEST(LFNFileStream, FlushOnCloseCoversWritingAndCreatingModes) {
  ScratchDir dir("lfn-sync");
  const String name = Below(dir, u"a.bin");
  { TLFNFileStream(name, fmCreate, false, 64).WriteBuffer("x", 1); }
  const struct {
    const char* what;
    uint16_t mode;
    bool writes;
  } cases[] = {
      {"create", fmCreate, true},
      {"create, deny write", uint16_t(fmCreate | fmShareDenyWrite), true},
      {"create, exclusive", uint16_t(fmCreate | fmShareExclusive), true},
      {"create, deny none", uint16_t(fmCreate | fmShareDenyNone), true},
      {"read", fmOpenRead, false},
      {"read, deny write", uint16_t(fmOpenRead | fmShareDenyWrite), false},
      {"read, deny none", uint16_t(fmOpenRead | fmShareDenyNone), false},
      {"write", fmOpenWrite, true},
      {"read-write, deny none", uint16_t(fmOpenReadWrite | fmShareDenyNone), true},
  };
  for (const auto& c : cases) {
    for (bool flushOnClose : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (flushOnClose ? ", flush" : ", no flush"));
      TSyncProbe s(name, c.mode, flushOnClose, 64);
      EXPECT_EQ(s.SyncOnFree(), flushOnClose && c.writes);
    }
  }
  // The close reaches the system's flush with the file's own handle, once something
  // was written.
  for (const bool written : {false, true}) {
    for (const bool flushOnClose : {false, true}) {
      SCOPED_TRACE(std::string(written ? "written" : "untouched") + (flushOnClose ? ", flush" : ", no flush"));
      TSyncProbe s(name, fmCreate, flushOnClose, 64);
      const NativeHandle handle = s.Handle();
      if (written) s.WriteBuffer("y", 1);
      s.Close();
      EXPECT_EQ(s.synced, flushOnClose && written ? std::vector<NativeHandle>{handle}
                                                  : std::vector<NativeHandle>{});
    }
  }
}

TEST(LFNFileStream, FullDiskFailsTheClose) {
#ifdef _WIN32
  const String device = u"Z:\\dev\\full";
#else
  const String device = u"/dev/full";
#endif
  std::unique_ptr<TLFNFileStream> s;
  try {
    s = std::make_unique<TLFNFileStream>(device, fmOpenWrite, false, 8192);
  } catch (const EStreamError&) {
    GTEST_SKIP() << "no /dev/full here";
  }
  EXPECT_EQ(s->Write("abc", 3), 3);  // buffered: not known yet
  EXPECT_THROW(s->Close(), EWriteError);
  // A full disk seen by a large write is reported at once.
  TLFNFileStream again(device, fmOpenWrite, false, 64);
  std::vector<char> block(256, 'x');
  try {
    EXPECT_LT(again.Write(block.data(), 256), 256);
  } catch (const EWriteError&) {
    // The file stream itself raises for a failed system call: also a failure.
  }
  EXPECT_TRUE(again.FlushFailed());
}

}  // namespace
