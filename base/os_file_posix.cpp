#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/format.h"
#include "base/messages.h"
#include "base/os_file.h"

NativeHandle InvalidNativeHandle() { return -1; }

uint32_t LastOsError() { return uint32_t(errno); }

String OsErrorText(uint32_t code) {
  char buffer[256];
  // The GNU variant may return a static text instead of filling the buffer.
  const char* text = strerror_r(int(code), buffer, sizeof buffer);
  if (!text || !*text) return Format(base_text::kUnknownOsError, {code});
  return FromUtf8(text);
}

namespace os_file {
namespace {
int Fd(NativeHandle h) { return int(h); }
}  // namespace

NativeHandle Open(const String& fileName, uint16_t mode, uint32_t& error) {
  int flags = O_CLOEXEC;
  const bool create = (mode & fmCreate) == fmCreate;
  if (create) {
    flags |= O_RDWR | O_CREAT | ((mode & fmExclusive) ? O_EXCL : O_TRUNC);
  } else {
    switch (mode & 3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: error = EINVAL; return InvalidNativeHandle();
    }
  }
  const std::string path = ToUtf8(fileName);
  if (path.empty() || path.find('\0') != std::string::npos) {
    error = ENOENT;
    return InvalidNativeHandle();
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = uint32_t(errno);
    return InvalidNativeHandle();
  }
  // Creating refuses a folder by itself (EISDIR, EEXIST); opening one for reading does not.
  struct stat st;
  if (!create && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = EISDIR;
    return InvalidNativeHandle();
  }
  return fd;
}

NativeHandle CreateForWriting(const String& fileName, uint32_t& error) {
  return Open(fileName, fmCreate, error);
}

int32_t Read(NativeHandle h, void* buffer, int32_t count, uint32_t& error) {
  ssize_t n;
  do {
    n = ::read(Fd(h), buffer, size_t(count));
  } while (n < 0 && errno == EINTR);
  if (n < 0) error = uint32_t(errno);
  return int32_t(n);
}

int32_t Write(NativeHandle h, const void* buffer, int32_t count, uint32_t& error) {
  ssize_t n;
  do {
    n = ::write(Fd(h), buffer, size_t(count));
  } while (n < 0 && errno == EINTR);
  if (n < 0) error = uint32_t(errno);
  return int32_t(n);
}

bool Seek(NativeHandle h, int64_t offset, TSeekOrigin origin, int64_t& newPosition,
          uint32_t& error) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  static_assert(sizeof(off_t) == 8, "64-bit file offsets");
  const off_t r = ::lseek(Fd(h), off_t(offset), whence);
  if (r < 0) {
    error = uint32_t(errno);
    return false;
  }
  newPosition = int64_t(r);
  return true;
}

bool GetSize(NativeHandle h, int64_t& size, uint32_t& error) {
  struct stat st;
  if (fstat(Fd(h), &st) != 0) {
    error = uint32_t(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = ESPIPE;
    return false;
  }
  size = int64_t(st.st_size);
  return true;
}

bool Truncate(NativeHandle h, int64_t size, uint32_t& error) {
  if (::ftruncate(Fd(h), off_t(size)) != 0) {
    error = uint32_t(errno);
    return false;
  }
  return true;
}

bool Close(NativeHandle h, uint32_t& error) {
  // Linux releases the descriptor even when close reports an error: no retry.
  if (::close(Fd(h)) != 0) {
    error = uint32_t(errno);
    return false;
  }
  return true;
}

uint32_t DiskFullError() { return ENOSPC; }

}  // namespace os_file
