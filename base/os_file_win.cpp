#include <windows.h>

#include "base/format.h"
#include "base/messages.h"
#include "base/os_file.h"
#include "base/win_string.h"

NativeHandle InvalidNativeHandle() { return INVALID_HANDLE_VALUE; }

uint32_t LastOsError() { return uint32_t(GetLastError()); }

String OsErrorText(uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  String text;
  if (n && buffer) text = FromW(buffer, n);
  if (buffer) LocalFree(buffer);
  // The system's texts end in a full stop and a line break; messages add their own.
  while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
  if (text.empty()) text = Format(base_text::kUnknownOsError, {code});
  return text;
}

namespace os_file {
namespace {
// Share values of the open modes, by (mode & 0xF0) >> 4.
DWORD ShareMode(uint16_t mode) {
  switch ((mode & 0xF0) >> 4) {
    case 2: return FILE_SHARE_READ;                     // fmShareDenyWrite
    case 3: return FILE_SHARE_WRITE;                    // fmShareDenyRead
    case 4: return FILE_SHARE_READ | FILE_SHARE_WRITE;  // fmShareDenyNone
    default: return 0;                                  // compat, exclusive
  }
}
}  // namespace

NativeHandle Open(const String& fileName, uint16_t mode, uint32_t& error) {
  DWORD access, disposition;
  if ((mode & fmCreate) == fmCreate) {
    access = GENERIC_READ | GENERIC_WRITE;
    disposition = (mode & fmExclusive) ? CREATE_NEW : CREATE_ALWAYS;
  } else {
    switch (mode & 3) {
      case fmOpenRead: access = GENERIC_READ; break;
      case fmOpenWrite: access = GENERIC_WRITE; break;
      case fmOpenReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
      default: error = ERROR_INVALID_PARAMETER; return INVALID_HANDLE_VALUE;
    }
    disposition = OPEN_EXISTING;
  }
  if (fileName.find(u'\0') != String::npos) {
    error = ERROR_INVALID_NAME;
    return INVALID_HANDLE_VALUE;
  }
  HANDLE h = CreateFileW(W(fileName), access, ShareMode(mode), nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) error = GetLastError();
  return h;
}

NativeHandle CreateForWriting(const String& fileName, uint32_t& error) {
  if (fileName.find(u'\0') != String::npos) {
    error = ERROR_INVALID_NAME;
    return INVALID_HANDLE_VALUE;
  }
  HANDLE h = CreateFileW(W(fileName), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) error = GetLastError();
  return h;
}

int32_t Read(NativeHandle h, void* buffer, int32_t count, uint32_t& error) {
  DWORD done = 0;
  if (!ReadFile(h, buffer, DWORD(count), &done, nullptr)) {
    error = GetLastError();
    // The writer of a pipe went away: that is the end of the data.
    if (error == ERROR_BROKEN_PIPE) return 0;
    return -1;
  }
  return int32_t(done);
}

int32_t Write(NativeHandle h, const void* buffer, int32_t count, uint32_t& error) {
  DWORD done = 0;
  if (!WriteFile(h, buffer, DWORD(count), &done, nullptr)) {
    error = GetLastError();
    return -1;
  }
  return int32_t(done);
}

bool Seek(NativeHandle h, int64_t offset, TSeekOrigin origin, int64_t& newPosition,
          uint32_t& error) {
  const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                       : origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                          : FILE_END;
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(h, distance, &result, method)) {
    error = GetLastError();
    return false;
  }
  newPosition = result.QuadPart;
  return true;
}

bool GetSize(NativeHandle h, int64_t& size, uint32_t& error) {
  LARGE_INTEGER result;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &result)) {
    error = GetLastError();
    return false;
  }
  size = result.QuadPart;
  return true;
}

bool Truncate(NativeHandle h, int64_t size, uint32_t& error) {
  LARGE_INTEGER zero{}, position, target;
  if (!SetFilePointerEx(h, zero, &position, FILE_CURRENT)) {
    error = GetLastError();
    return false;
  }
  target.QuadPart = size;
  bool ok = SetFilePointerEx(h, target, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  if (!ok) error = GetLastError();
  SetFilePointerEx(h, position, nullptr, FILE_BEGIN);
  return ok;
}

bool Close(NativeHandle h, uint32_t& error) {
  if (!CloseHandle(h)) {
    error = GetLastError();
    return false;
  }
  return true;
}

uint32_t DiskFullError() { return ERROR_DISK_FULL; }

}  // namespace os_file
