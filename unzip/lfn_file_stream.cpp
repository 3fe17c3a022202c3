#include "unzip/lfn_file_stream.h"

#include "base/exception.h"
#include "unzip/zip_file_routines.h"

TLFNFileStream::TLFNFileStream(const String& fileName, uint16_t mode, bool flushOnClose,
                               int32_t bufSize)
    : TS_BufferStream(nullptr, bufSize), FFileName(fileName) {
  FFile = std::make_unique<TFileStream>(HostFileName(fileName), mode);
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
  try {
    TS_BufferStream::Close();
  } catch (...) {
    FFile.reset();
    throw;
  }
  FFile.reset();
}
