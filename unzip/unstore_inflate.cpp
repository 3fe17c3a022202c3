// The stored and deflate decompressors; deflate through zlib's raw inflate.
#include <zlib.h>

#include <algorithm>

#include "base/format.h"
#include "base/text.h"
#include "unzip/extract_io.h"
#include "unzip/zip_lib_routines.h"

namespace {

// zlib's result: a negative one raises with zlib's code and its own words.
int CheckZResult(int code, const z_stream& stream) {
  if (code >= 0) return code;
  String message = ZipMessageText(TZipMessage::CompressionError) + u" (" + IntToStr(code);
  if (stream.msg) message += u": " + FromUtf8(stream.msg);
  throw EZCompressionError(message + u")");
}

// A raw inflate stream, released on every path.
class TRawInflater {
public:
  TRawInflater() { CheckZResult(inflateInit2(&stream_, -MAX_WBITS), stream_); }
  ~TRawInflater() { inflateEnd(&stream_); }
  TRawInflater(const TRawInflater&) = delete;
  TRawInflater& operator=(const TRawInflater&) = delete;
  z_stream& Stream() { return stream_; }

private:
  z_stream stream_{};
};

}  // namespace

void TXrUnZip::UnStore(TExtractState& state) {
  while (state.ArchiveRemaining > 0) {
    BetweenBlocks();
    const int32_t n = int32_t(std::min<int64_t>(state.ArchiveRemaining, kBlockSize));
    state.ArchiveRemaining -= n;
    ReadEntryBytes(state, state.OutBuf.data(), n);
    // Stored data is the output: the cipher's own decryption, or the output side's.
    if (!FDecryptOutput) DecryptBuffer(state.OutBuf.data(), uint32_t(n));
    state.OutCount = uint32_t(n);
    FlushOutput(state);
  }
}

// Ends at the end of the deflate stream: input left in the last block is ignored, and
// output beyond the uncompressed size is stopped by FlushOutput.
void TXrUnZip::Inflate(TExtractState& state) {
  TRawInflater inflater;
  z_stream& z = inflater.Stream();
  constexpr uint32_t kInRoom = uint32_t(kBlockSize) * kInflateBlocks;
  constexpr uint32_t kOutRoom = uint32_t(kBlockSize) * kInflateBlocks;
  z.next_out = state.OutBuf.data();
  z.avail_out = kOutRoom;
  int flush = Z_NO_FLUSH;
  for (;;) {
    if (z.avail_in == 0 && flush == Z_NO_FLUSH) {
      // zlib takes the blocks whole; the byte reader's view of them is used up.
      uint32_t got = 0;
      while (got + uint32_t(kBlockSize) <= kInRoom && state.CompRemaining > 0) {
        // Only a block zlib asks for may open another part: a stream that ends
        // before its stated size must not ask for disks beyond it.
        if (got > 0 && !NextBlockInThisPart(state)) break;
        const uint32_t block = ReadInputBlock(state, state.InBuf.data() + got);
        state.CompRemaining -= block;
        got += block;
        if (block < uint32_t(kBlockSize)) break;
      }
      state.InCount = 0;
      if (got == 0) flush = Z_FINISH;
      z.next_in = state.InBuf.data();
      z.avail_in = got;
    }
    const int result = CheckZResult(inflate(&z, flush), z);
    if (z.avail_out == 0 || result == Z_STREAM_END) {
      state.OutCount = kOutRoom - z.avail_out;
      FlushOutput(state);
      z.next_out = state.OutBuf.data();
      z.avail_out = kOutRoom;
    }
    if (result == Z_STREAM_END) break;
  }
}
