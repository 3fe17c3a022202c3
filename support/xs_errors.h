// The support modules' exception classes.
#pragma once

#include <cstdint>

#include "base/exception.h"

QZ_DECLARE_EXCEPTION(EXsError, Exception);
QZ_DECLARE_EXCEPTION(EXsInternalError, EXsError);
QZ_DECLARE_EXCEPTION(ESharedMemError, EXsError);

// A failed Windows call. Built from a message text (CreateRes): the calling thread's
// last error is taken first, and the message reads
// "Win32 error: <system text> (<code>)" CR LF <text>.
class EXsWin32Error : public EXsError {
public:
  explicit EXsWin32Error(StringView resText);
  EXsWin32Error(uint32_t lastError, StringView resText);
  uint32_t LastError() const noexcept { return FLastError; }
  const String& LastErrorMsg() const noexcept { return FLastErrorMsg; }

private:
  uint32_t FLastError;
  String FLastErrorMsg;
};

QZ_DECLARE_EXCEPTION(EXsMutexError, EXsWin32Error);
