// Operating-system file calls behind the file streams and text files: one
// implementation per system (os_file_win.cpp, os_file_posix.cpp). Each call
// reports failure by its result and leaves the system's error code in *error.
#pragma once

#include <cstdint>

#include "base/file_stream.h"
#include "base/stream.h"
#include "base/string.h"

// The calling thread's last operating-system error code (GetLastError, errno).
uint32_t LastOsError();
// The system's text for an error code, without a trailing line break or full stop.
String OsErrorText(uint32_t code);

namespace os_file {

// Opens (or with fmCreate creates or truncates; with fmCreate | fmExclusive only
// creates) a file in one of the open modes of base/file_stream.h; InvalidNativeHandle() on
// failure.
NativeHandle Open(const String& fileName, uint16_t mode, uint32_t& error);
// Creates or truncates a file for writing only, others may read it meanwhile.
NativeHandle CreateForWriting(const String& fileName, uint32_t& error);
// Bytes moved (0 at the end of the file), or -1 on failure.
int32_t Read(NativeHandle h, void* buffer, int32_t count, uint32_t& error);
int32_t Write(NativeHandle h, const void* buffer, int32_t count, uint32_t& error);
bool Seek(NativeHandle h, int64_t offset, TSeekOrigin origin, int64_t& newPosition,
          uint32_t& error);
bool GetSize(NativeHandle h, int64_t& size, uint32_t& error);
// Sets the end of the file; the position is left where it was.
bool Truncate(NativeHandle h, int64_t size, uint32_t& error);
bool Close(NativeHandle h, uint32_t& error);

// The code the system gives for a full disk (to report a write that moved nothing).
uint32_t DiskFullError();

}  // namespace os_file
