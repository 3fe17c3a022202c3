#include "base/os_error.h"

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/format.h"
#include "base/messages.h"
#include "base/os_file.h"

void RaiseLastOSError() { RaiseOSError(LastOsError()); }

void RaiseOSError(uint32_t code) {
  throw EOSError(Format(base_text::kOsError, {code, OsErrorText(code)}), code);
}
