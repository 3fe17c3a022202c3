// Reads the directory of an archive held in memory, in the modes that reach the
// rebuild from local headers and the multi-part paths, then selects every entry and
// asks for the comments. The first input byte chooses the sort mode, a self-extractor
// name and a multi-part mode set before the read; the rest is the archive.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/exception.h"
#include "base/stream.h"
#include "unzip/xr_unzip.h"

namespace {

// A set claiming thousands of parts would open each of them; a few show every path.
constexpr int32_t kMaxParts = 4;
// A spanned set asks for a disk until the file is there, which it never is here.
constexpr int32_t kMaxDiskRequests = 3;

class MemoryUnZip : public TXrUnZip {
public:
  MemoryUnZip(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int32_t extracted = 0;

protected:
  // Every part of a multi-part set is the same bytes.
  std::unique_ptr<TStream> OpenArchiveStream(const String&, uint16_t, bool) override {
    return std::make_unique<TReadOnlyMemoryStream>(data_, size_);
  }
  TStream& OpenDisk(int32_t number) override {
    if (number > kMaxParts) throw EFOpenError(u"Part beyond the fuzz target's limit");
    return TXrUnZip::OpenDisk(number);
  }
  TFileStamp ArchiveStampOf(TStream&) override { return {0, int64_t(size_)}; }
  void ExtractEntry(int32_t index, TExtractState& state) override {
    const TZipHeaderInfo& e = Entry(index);
    extracted += int32_t(e.FileName.size() & 1);
    ++state.FilesDone;
  }

private:
  const uint8_t* data_;
  size_t size_;
};

struct Options {
  TZipSortMode sortMode = TZipSortMode::ByNone;
  bool selfExtractor = false;
  TMultiPartMode multiPart = TMultiPartMode::mpNone;
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
  return o;
}

void ReadOnce(const uint8_t* data, size_t size, const Options& options, TIncompleteZipMode mode) {
  MemoryUnZip unzip(data, size);
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
