#include "unzip/lfn_file_stream.h"

#include "base/exception.h"
#include "base/scope_exit.h"
#include "unzip/zip_file_routines.h"

namespace {

// The file under the buffer. It keeps its own position, so that the buffer's question
// where the file stands (asked at every seek and position query) costs no system call.
// Nothing else moves the position of the handle: it is used besides only for its
// date, attributes, size and flushing.
class TPositionedFile : public TFileStream {
public:
  using TFileStream::TFileStream;

  int32_t Read(void* buffer, int32_t count) override {
    return Moved([&] { return TFileStream::Read(buffer, count); });
  }
  int32_t Write(const void* buffer, int32_t count) override {
    return Moved([&] { return TFileStream::Write(buffer, count); });
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    if (origin == TSeekOrigin::soCurrent && offset == 0 && position_ >= 0) return position_;
    position_ = -1;  // unknown should the seek raise
    position_ = TFileStream::Seek(offset, origin);
    return position_;
  }

private:
  // A transfer moves the position by its count; one that raised leaves it unknown.
  template <typename Transfer>
  int32_t Moved(Transfer transfer) {
    const int64_t before = position_;
    position_ = -1;
    const int32_t count = transfer();
    if (before >= 0) position_ = before + count;
    return count;
  }
  int64_t position_ = 0;  // a file opened or created stands at its start
};

}  // namespace

TLFNFileStream::TLFNFileStream(const String& fileName, uint16_t mode, bool flushOnClose,
                               int32_t bufSize)
    : TS_BufferStream(nullptr, bufSize), FFileName(fileName) {
  FFile = std::make_unique<TPositionedFile>(HostFileName(fileName), mode);
  AttachSource(FFile.get());
  FSyncOnFree = flushOnClose && ((mode & fmCreate) == fmCreate || (mode & 3) != 0);
}

TLFNFileStream::~TLFNFileStream() {
  if (Closed()) return;
  try {
    FinishWriting();
  } catch (const Exception&) {
    // Freeing cannot report; Close is the way to learn of a failed final write.
  }
  DetachSource();
}

NativeHandle TLFNFileStream::Handle() const {
  return FFile ? FFile->Handle() : InvalidNativeHandle();
}

int64_t TLFNFileStream::GetSize() {
  const int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TLFNFileStream::SetSize(int64_t newSize) {
  SyncSource();
  FFile->SetSize(newSize);
}

void TLFNFileStream::Close() {
  if (Closed()) return;
  ScopeExit release([this]() noexcept { FFile.reset(); });
  TS_BufferStream::Close();
}
