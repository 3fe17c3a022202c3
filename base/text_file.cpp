#include "base/text_file.h"

#include <algorithm>
#include <climits>

#include "base/codepage.h"
#include "base/exception.h"
#include "base/in_out_error.h"
#include "base/os_file.h"

namespace {
constexpr size_t kBufferSize = 4096;
// The I/O error code of an operation on a file that is not open.
constexpr uint32_t kFileNotOpen = 103;
}  // namespace

TTextFile::~TTextFile() {
  if (IsOpen()) {
    uint32_t error = 0;
    os_file::Close(handle_, error);
  }
}

void TTextFile::Fail(uint32_t code) {
  buffer_.clear();
  if (IsOpen()) {
    uint32_t ignored = 0;
    os_file::Close(handle_, ignored);
    handle_ = InvalidNativeHandle();
  }
  RaiseInOutError(code);
}

void TTextFile::Rewrite(const String& fileName) {
  if (IsOpen()) Close();
  uint32_t error = 0;
  handle_ = os_file::CreateForWriting(fileName, error);
  if (!IsOpen()) RaiseInOutError(error);
}

void TTextFile::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const int32_t n = int32_t(std::min<size_t>(buffer_.size() - done, size_t(INT_MAX)));
    uint32_t error = 0;
    const int32_t written = os_file::Write(handle_, buffer_.data() + done, n, error);
    if (written < 0) Fail(error);
    if (written == 0) Fail(os_file::DiskFullError());  // nothing moved: no room
    done += size_t(written);
  }
  buffer_.clear();
}

void TTextFile::Write(StringView text) {
  // Writing to a file that is not open is I/O error 103.
  if (!IsOpen()) RaiseInOutError(kFileNotOpen);
  buffer_ += ToAnsi(text);
  if (buffer_.size() >= kBufferSize) Flush();
}

void TTextFile::WriteLine(StringView text) {
  Write(text);
  Write(u"\r\n");
}

void TTextFile::Close() {
  if (!IsOpen()) RaiseInOutError(kFileNotOpen);
  Flush();
  uint32_t error = 0;
  const NativeHandle h = handle_;
  handle_ = InvalidNativeHandle();
  if (!os_file::Close(h, error)) RaiseInOutError(error);
}
