// Output other than files: the host operations that extract into a stream, into memory
// or only test, the memory buffer of an entry and its flush in chunks.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "base/messages.h"
#include "unzip/extract_io.h"

namespace {

// Most output one compressed byte can give: deflate stays below 1032, the older
// methods' longest matches below 8192.
constexpr int64_t kMaxDeflateExpansion = 1032;
constexpr int64_t kMaxExpansion = 8192;
// Memory output starts with room for this much and at least doubles when full.
constexpr size_t kFirstMemoryRoom = 65536;

}  // namespace

// Sets an output mode for one operation and puts file output back when it ends.
class TXrUnZip::TOutputModeScope {
public:
  explicit TOutputModeScope(TXrUnZip& owner) : owner_(owner) {}
  ~TOutputModeScope() { owner_.FOutput = TOutputMode(); }
  TOutputModeScope(const TOutputModeScope&) = delete;
  TOutputModeScope& operator=(const TOutputModeScope&) = delete;

private:
  TXrUnZip& owner_;
};

bool TXrUnZip::UnZipToStream(int32_t index, TStream& stream) {
  RefuseWhenBusy();
  TOutputModeScope mode(*this);
  FOutput.FToStream = true;
  FOutput.FOutputStream = &stream;
  return RunExtraction(index) == 1;
}

bool TXrUnZip::UnZipToMemory(int32_t index, std::vector<uint8_t>& data) {
  RefuseWhenBusy();
  TOutputModeScope mode(*this);
  FOutput.FToBuffer = true;
  FOutput.FToMemory = true;
  data.clear();
  const bool passed = RunExtraction(index) == 1;
  if (passed) data = std::move(FOutput.FOwnedBuffer);
  return passed;
}

bool TXrUnZip::UnZipToBuffer(int32_t index, char* buffer, int64_t capacity, int32_t chunkSize) {
  RefuseWhenBusy();
  if (!buffer || capacity < 1 || chunkSize < 0)
    throw EXrZipException(ZipMessageText(TZipMessage::NoBufferRoom));
  TOutputModeScope mode(*this);
  FOutput.FToBuffer = true;
  FOutput.FBuffer = buffer;
  FOutput.FBufferSize = capacity;
  // Without a chunk size every buffer-full goes to the consumer, the last one too.
  FOutput.FBufferChunkSize =
      chunkSize > 0 ? chunkSize : int32_t(std::min<int64_t>(capacity, std::numeric_limits<int32_t>::max()));
  return RunExtraction(index) == 1;
}

int32_t TXrUnZip::TestZip() {
  RefuseWhenBusy();
  TOutputModeScope mode(*this);
  FOutput.FToBuffer = true;
  FOutput.FTesting = true;
  return RunExtraction(-1);
}

bool TXrUnZip::BufferSizeIsPlausible() const {
  // Only memory the component takes for the entry is at stake.
  if (FOutput.FTesting || !FOutput.FToMemory) return true;
  const TZipHeaderInfo& h = *FHeaderTemplate;
  const int64_t size = h.UncompressedSize();
  const int64_t packed = h.CompressedSize();
  if (size >= TMemoryStream::MaxSize()) return false;
  const uint16_t method = h.ActualMethod();
  if (method == 0) return size <= packed;
  const int64_t expansion = method == 8 ? kMaxDeflateExpansion : kMaxExpansion;
  return (size + expansion - 1) / expansion <= packed;
}

void TXrUnZip::StartBufferOutput() {
  const int64_t size = FHeaderTemplate->UncompressedSize();
  if (FOutput.FToMemory) {
    // Taken as output arrives: a declared size is no more than a claim.
    FOutput.FOwnedBuffer = {};
    FOutput.FBuffer = nullptr;
    FOutput.FBufferSize = size;
  }
  FOutput.FBufferPos = FOutput.FBuffer;
  FOutput.FBufferRemaining = size;
  FOutput.FBufferNum = 0;
}

void TXrUnZip::ReleaseOwnedBuffer() { FOutput.FOwnedBuffer = {}; }

void TXrUnZip::AppendToMemory(const uint8_t* from, uint32_t n) {
  const size_t held = FOutput.FOwnedBuffer.size();
  if (held + n > FOutput.FOwnedBuffer.capacity()) {
    // Never past the declared size, which FlushToBuffer keeps the output within.
    const size_t declared = size_t(FOutput.FBufferSize);
    const size_t grown = std::max({held + n, 2 * FOutput.FOwnedBuffer.capacity(), kFirstMemoryRoom});
    const size_t room = std::min(declared, grown);
    try {
      FOutput.FOwnedBuffer.reserve(room);
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory(base_text::kOutOfMemory);
    } catch (const std::length_error&) {
      throw EOutOfMemory(base_text::kOutOfMemory);
    }
  }
  FOutput.FOwnedBuffer.insert(FOutput.FOwnedBuffer.end(), from, from + n);
  FOutput.FBufferRemaining -= n;
}

void TXrUnZip::FlushToBuffer(const uint8_t* from, uint32_t n) {
  if (int64_t(n) > FOutput.FBufferRemaining)
    throw EBiggerThanUncompressed(ZipMessageText(TZipMessage::BiggerThanUncompressed));
  if (FOutput.FTesting) {
    FOutput.FBufferRemaining -= n;
    return;
  }
  if (FOutput.FToMemory) {
    AppendToMemory(from, n);
    return;
  }
  // A chunk never passes what the buffer holds.
  const int64_t room = std::min<int64_t>(FOutput.FBufferSize, std::numeric_limits<int32_t>::max());
  const int64_t chunk = FOutput.FBufferChunkSize > 0 ? std::min<int64_t>(FOutput.FBufferChunkSize, room) : room;
  uint32_t left = n;
  for (;;) {
    const int64_t used = FOutput.FBufferPos - FOutput.FBuffer;
    const uint32_t piece = uint32_t(std::min<int64_t>(left, chunk - used));
    std::memcpy(FOutput.FBufferPos, from, piece);
    FOutput.FBufferPos += piece;
    from += piece;
    left -= piece;
    FOutput.FBufferRemaining -= piece;
    if (left == 0 && !(FOutput.FBufferChunkSize > 0 && FOutput.FBufferRemaining == 0)) return;
    // The buffer is full, or holds the entry's last chunk: the consumer takes it.
    if (!OnGetNextBuffer) {
      if (left == 0) return;
      throw EBiggerThanUncompressed(ZipMessageText(TZipMessage::BiggerThanUncompressed));
    }
    bool quit = FOutput.FBufferRemaining == 0;
    char* next = FOutput.FBuffer;
    const TZipHeaderInfo& h = *FHeaderTemplate;
    // A chunk of one byte lets an entry of 2 GiB have more chunks than the number holds;
    // the last number is kept from there on.
    if (FOutput.FBufferNum < std::numeric_limits<int32_t>::max()) ++FOutput.FBufferNum;
    OnGetNextBuffer(*this, next, h.Directory + h.FileName, int32_t(FOutput.FBufferPos - FOutput.FBuffer),
                    int32_t(FOutput.FBufferNum), quit);
    if (FOutput.FBufferRemaining > 0 && (quit || !next))
      throw ECanceledUnzipToBuffer(ZipMessageText(TZipMessage::CanceledBufferUnZip));
    FOutput.FBuffer = next;
    FOutput.FBufferPos = FOutput.FBuffer;
    if (left == 0) return;
  }
}
