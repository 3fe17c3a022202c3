#include "support/xs_errors.h"

#include <windows.h>

#include "base/file_stream.h"
#include "base/format.h"
#include "base/os_file.h"
#include "support/xs_messages.h"

namespace {
String Win32ErrorMessage(uint32_t code, StringView resText) {
  return Format(xs_text::kWin32Error, {OsErrorText(code), code, u"\r\n", resText});
}
}  // namespace

EXsWin32Error::EXsWin32Error(StringView resText) : EXsWin32Error(GetLastError(), resText) {}

EXsWin32Error::EXsWin32Error(uint32_t lastError, StringView resText)
    : EXsError(Win32ErrorMessage(lastError, resText)),
      FLastError(lastError),
      FLastErrorMsg(OsErrorText(lastError)) {}
