#include "base/file_stream.h"

#include <utility>

#include "base/exception.h"
#include "base/format.h"
#include "base/messages.h"
#include "base/os_file.h"

namespace {
String ErrorSuffix(const Char* text, uint32_t code) {
  return String(text) + u". " + OsErrorText(code);
}
}  // namespace

int32_t THandleStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  uint32_t error = 0;
  const int32_t n = os_file::Read(handle_, buffer, count, error);
  if (n < 0) throw EReadError(ErrorSuffix(base_text::kReadError, error));
  return n;
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  uint32_t error = 0;
  const int32_t n = os_file::Write(handle_, buffer, count, error);
  if (n < 0) throw EWriteError(ErrorSuffix(base_text::kWriteError, error));
  return n;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  uint32_t error = 0;
  int64_t position = 0;
  // Targets before 0 are refused here, alike on every system.
  if (origin == TSeekOrigin::soBeginning && offset < 0) throw EStreamError(base_text::kSeekError);
  if (origin == TSeekOrigin::soCurrent && offset < 0) {
    if (!os_file::Seek(handle_, 0, TSeekOrigin::soCurrent, position, error))
      throw EStreamError(ErrorSuffix(base_text::kSeekError, error));
    if (position + offset < 0) throw EStreamError(base_text::kSeekError);
  }
  if (origin == TSeekOrigin::soEnd && offset < 0) {
    int64_t size = 0;
    if (!os_file::GetSize(handle_, size, error))
      throw EStreamError(ErrorSuffix(base_text::kSeekError, error));
    if (size + offset < 0) throw EStreamError(base_text::kSeekError);
  }
  if (!os_file::Seek(handle_, offset, origin, position, error))
    throw EStreamError(ErrorSuffix(base_text::kSeekError, error));
  return position;
}

int64_t THandleStream::GetSize() {
  uint32_t error = 0;
  int64_t size = 0;
  if (!os_file::GetSize(handle_, size, error)) {
    // Not a file (a pipe or device): fall back to seeking.
    return TStream::GetSize();
  }
  return size;
}

void THandleStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError(base_text::kSetSizeError);
  uint32_t error = 0;
  const int64_t position = Position();
  if (!os_file::Truncate(handle_, newSize, error))
    throw EStreamError(ErrorSuffix(base_text::kSetSizeError, error));
  if (position > newSize) Seek(newSize, TSeekOrigin::soBeginning);
}

TFileStream::TFileStream(const String& fileName, uint16_t mode)
    : THandleStream(InvalidNativeHandle()), fileName_(fileName) {
  uint32_t error = 0;
  handle_ = os_file::Open(fileName, mode, error);
  if (handle_ == InvalidNativeHandle()) {
    const bool create = (mode & fmCreate) == fmCreate;
    const String text = OsErrorText(error);
    if (create) throw EFCreateError(Format(base_text::kFCreateError, {fileName, text}));
    throw EFOpenError(Format(base_text::kFOpenError, {fileName, text}));
  }
}

TFileStream::~TFileStream() {
  if (handle_ != InvalidNativeHandle()) {
    uint32_t error = 0;
    os_file::Close(handle_, error);
  }
}

void TFileStream::Close() {
  if (handle_ == InvalidNativeHandle()) return;
  uint32_t error = 0;
  const NativeHandle h = std::exchange(handle_, InvalidNativeHandle());
  if (!os_file::Close(h, error)) throw EWriteError(ErrorSuffix(base_text::kWriteError, error));
}

