// Reads the directory of an archive held in memory, in the modes that reach the
// rebuild from local headers and the multi-part paths, then selects every entry and
// asks for the comments.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/exception.h"
#include "base/stream.h"
#include "unzip/xr_unzip.h"

namespace {

class MemoryUnZip : public TXrUnZip {
public:
  MemoryUnZip(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int32_t extracted = 0;

protected:
  // Every part of a multi-part set is the same bytes.
  std::unique_ptr<TStream> OpenArchiveStream(const String&, uint16_t, bool) override {
    return std::make_unique<TReadOnlyMemoryStream>(data_, size_);
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

void ReadOnce(const uint8_t* data, size_t size, TIncompleteZipMode mode) {
  MemoryUnZip unzip(data, size);
  unzip.DoProcessMessages = false;
  unzip.IncompleteZipMode = mode;
  unzip.DoAll = true;
  unzip.RecreateDirs = true;
  unzip.SetZipName(u"fuzz.zip");
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
  ReadOnce(data, size, TIncompleteZipMode::izAssumeBad);
  ReadOnce(data, size, TIncompleteZipMode::izAssumeMulti);
  return 0;
}
