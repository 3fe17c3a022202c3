// Reads the directory of an archive held in memory, in the modes that reach the
// rebuild from local headers and the multi-part paths, then selects every entry and
// asks for the comments. The first input byte chooses the sort mode, a self-extractor
// name, a multi-part mode set before the read and whether a directory side file is
// there; the rest is the archive, or with a side file, the archive up to its first
// central header and the side file from there (a sound zip gives a sound pair).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/exception.h"
#include "base/stream.h"
#include "unzip/xr_unzip.h"

namespace {

// A set claiming thousands of parts would open each of them; a few show every path.
constexpr int32_t kMaxParts = 4;
// A spanned set asks for a disk until the file is there, which it never is here.
constexpr int32_t kMaxDiskRequests = 3;

struct Bytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

bool IsSideFileName(const String& name) {
  return name.size() >= 4 && std::u16string_view(name).substr(name.size() - 4) == u".zfc";
}

class MemoryUnZip : public TXrUnZip {
public:
  MemoryUnZip(Bytes archive, Bytes sideFile, bool hasSideFile)
      : archive_(archive), sideFile_(sideFile), hasSideFile_(hasSideFile) {}
  int32_t extracted = 0;

protected:
  // Every part of a multi-part set is the same bytes.
  std::unique_ptr<TStream> OpenArchiveStream(const String& name, uint16_t, bool) override {
    const Bytes& b = IsSideFileName(name) ? sideFile_ : archive_;
    return std::make_unique<TReadOnlyMemoryStream>(b.data, b.size);
  }
  bool ArchiveFileExists(const String& name) override {
    return hasSideFile_ && IsSideFileName(name);
  }
  TStream& OpenDisk(int32_t number) override {
    if (number > kMaxParts) throw EFOpenError(u"Part beyond the fuzz target's limit");
    return TXrUnZip::OpenDisk(number);
  }
  TFileStamp ArchiveStampOf(TStream& stream) override { return {0, stream.Size()}; }
  void ExtractEntry(int32_t index, TExtractState& state) override {
    const TZipHeaderInfo& e = Entry(index);
    extracted += int32_t(e.FileName.size() & 1);
    ++state.FilesDone;
  }

private:
  Bytes archive_;
  Bytes sideFile_;
  bool hasSideFile_;
};

struct Options {
  TZipSortMode sortMode = TZipSortMode::ByNone;
  bool selfExtractor = false;
  TMultiPartMode multiPart = TMultiPartMode::mpNone;
  bool sideFile = false;
};

Options OptionsOf(uint8_t b) {
  Options o;
  o.sortMode = TZipSortMode(b & 7);
  o.selfExtractor = (b & 8) != 0;
  switch ((b >> 4) & 3) {
    case 1: o.multiPart = TMultiPartMode::mpSpanned; break;
    case 2: o.multiPart = TMultiPartMode::mpSplit; break;
    default: break;
  }
  o.sideFile = (b & 0x40) != 0;
  return o;
}

void ReadOnce(const uint8_t* data, size_t size, const Options& options, TIncompleteZipMode mode) {
  Bytes archive{data, size};
  Bytes sideFile{data + size, 0};
  if (options.sideFile) {
    static constexpr uint8_t kCentralSig[4] = {'P', 'K', 1, 2};
    for (size_t i = 0; i + 4 <= size; ++i) {
      if (std::memcmp(data + i, kCentralSig, 4) == 0) {
        archive.size = i;
        sideFile = {data + i, size - i};
        break;
      }
    }
  }
  MemoryUnZip unzip(archive, sideFile, options.sideFile);
  unzip.DoProcessMessages = false;
  unzip.IncompleteZipMode = mode;
  unzip.DoAll = true;
  unzip.RecreateDirs = true;
  unzip.SortMode = options.sortMode;
  unzip.SetVerifyDiskLabels(false);
  int32_t requests = 0;
  unzip.OnGetNextDisk = [&](TXrUnZip&, int32_t, String& name) {
    if (++requests > kMaxDiskRequests) name.clear();
  };
  unzip.SetZipName(options.selfExtractor ? u"fuzz.EXE" : u"fuzz.zip");
  unzip.SetMultiPartMode(options.multiPart);
  try {
    unzip.UnZip();
    unzip.GetArchiveComment();
    for (int32_t i = 0; i < unzip.LoadedEntryCount() && i < 8; ++i) unzip.GetEntryComment(i);
  } catch (const Exception&) {
    // Every failure the reader reports is one of its exceptions; anything else is a find.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Options options = OptionsOf(data[0]);
  ReadOnce(data + 1, size - 1, options, TIncompleteZipMode::izAssumeBad);
  ReadOnce(data + 1, size - 1, options, TIncompleteZipMode::izAssumeMulti);
  return 0;
}
