// Runs the shrink, reduce or implode decompressor on raw entry data. The first byte
// picks the decompressor (and the implode variant), the next three give the declared
// uncompressed size; the rest is the compressed data. Damaged data may only end the
// entry: an output past the declared size is the one error a decompressor may raise.
#include <cstddef>
#include <cstdint>

#include "base/stream.h"
#include "unzip/extract_io.h"

namespace {

struct Choice {
  uint16_t method;
  uint16_t flags;
};
constexpr Choice kChoices[] = {
    {1, 0},                          // shrink
    {2, 0}, {3, 0}, {4, 0}, {5, 0},  // reduce, factor 1 to 4
    {6, 0}, {6, 2}, {6, 4}, {6, 6},  // implode: 8K dictionary, literal tree
};
constexpr size_t kHeader = 4;
constexpr int64_t kMaxDeclared = 1 << 22;

class RawEngine : public TXrUnZip {
public:
  void Run(const Choice& choice, const uint8_t* data, size_t size, int64_t declared) {
    DoProcessMessages = false;
    TReadOnlyMemoryStream input(data, size);
    TMemoryStream output;
    TExtractState state(&input);
    TZipHeaderInfo& h = HeaderTemplate();
    h.CompressionMethod = choice.method;
    h.Flags = choice.flags;
    h.SetCompressedSize(int64_t(size));
    h.SetUncompressedSize(declared);
    state.ResetForEntry();
    state.OutStream = &output;
    state.CompRemaining = int64_t(size);
    state.ArchiveRemaining = int64_t(size);
    state.UncompSize = declared;
    try {
      (this->*DecompressorFor(choice.method))(state);
    } catch (const EBiggerThanUncompressed&) {
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  const Choice& choice = kChoices[data[0] % (sizeof kChoices / sizeof kChoices[0])];
  const int64_t declared =
      (int64_t(data[1]) | int64_t(data[2]) << 8 | int64_t(data[3]) << 16) % kMaxDeclared;
  RawEngine engine;
  engine.Run(choice, data + kHeader, size - kHeader, declared);
  return 0;
}
