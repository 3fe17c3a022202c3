// Streams over operating-system file handles.
#pragma once

#include <cstdint>

#include "base/stream.h"

// A native file handle: HANDLE on Windows, a descriptor elsewhere.
#ifdef _WIN32
using NativeHandle = void*;
#else
using NativeHandle = intptr_t;
#endif
NativeHandle InvalidNativeHandle();

// Open modes: one access value, or-ed with one share value.
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,  // create or replace, read and write, exclusive
  fmExclusive = 0x0004,  // with fmCreate: fail when the name exists (a link included)
};

// A stream over a handle it does not own. A failing system call raises (EReadError,
// EWriteError, EStreamError with the system's text) rather than looking like the
// end of the file.
class THandleStream : public TStream {
public:
  explicit THandleStream(NativeHandle handle) : handle_(handle) {}
  String ClassName() const override { return u"THandleStream"; }
  NativeHandle Handle() const { return handle_; }
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override;
  // EStreamError when refused; a position past the new end moves to it.
  void SetSize(int64_t newSize) override;

protected:
  NativeHandle handle_;
};

// Opens or creates a named file and owns its handle. Failures raise EFOpenError
// "Cannot open file \"<name>\". <reason>" or EFCreateError
// "Cannot create file \"<name>\". <reason>". Native paths are UTF-8 of the text
// ('\\' is not translated); share modes have no effect there.
class TFileStream : public THandleStream {
public:
  TFileStream(const String& fileName, uint16_t mode);
  // Closes without raising; call Close to learn of a failure.
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  String ClassName() const override { return u"TFileStream"; }
  const String& FileName() const { return fileName_; }
  // Closes the file once; EWriteError with the system's text when the system reports a
  // failure (what was written may not be in the file). Nothing may be read or written
  // after it.
  void Close();

private:
  String fileName_;
};
