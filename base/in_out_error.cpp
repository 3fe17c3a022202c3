#include "base/in_out_error.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/messages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

String InOutErrorMessage(uint32_t code) {
#ifdef _WIN32
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return base_text::kFileNotFound;
    case ERROR_PATH_NOT_FOUND: return base_text::kPathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES: return base_text::kTooManyOpenFiles;
    case ERROR_ACCESS_DENIED: return base_text::kAccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return base_text::kDiskFull;
    default: break;
  }
#else
  switch (code) {
    case ENOENT: return base_text::kFileNotFound;
    case ENOTDIR: return base_text::kPathNotFound;
    case EMFILE: return base_text::kTooManyOpenFiles;
    case EACCES:
    case EPERM: return base_text::kAccessDenied;
    case ENOSPC: return base_text::kDiskFull;
    default: break;
  }
#endif
  return Format(base_text::kInOutError, {code});
}

void RaiseInOutError(uint32_t code) { throw EInOutError(InOutErrorMessage(code), code); }
