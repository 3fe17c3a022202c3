// The exception hierarchy of both programs: every error carries a message text.
#pragma once

#include <exception>
#include <string>

#include "base/string.h"

class Exception : public std::exception {
public:
  explicit Exception(String message);
  const String& Message() const noexcept { return message_; }
  // UTF-8 copy of the message, for test output and diagnostics.
  const char* what() const noexcept override { return utf8_.c_str(); }

private:
  String message_;
  std::string utf8_;
};

// The text the user is shown for an error of any kind: an Exception's message, or a
// fixed text for what is not one of ours.
String ExceptionMessage(const std::exception_ptr& error);

// Declares a subclass that only differs by type.
#define QZ_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {             \
  public:                                \
    using Base::Base;                    \
  }

QZ_DECLARE_EXCEPTION(EListError, Exception);     // list index and sorted-list misuse
QZ_DECLARE_EXCEPTION(EConvertError, Exception);  // text to number, Format, Assign
QZ_DECLARE_EXCEPTION(EInvalidCast, Exception);
QZ_DECLARE_EXCEPTION(EOutOfMemory, Exception);
QZ_DECLARE_EXCEPTION(EStreamError, Exception);
QZ_DECLARE_EXCEPTION(EReadError, EStreamError);   // short read in ReadBuffer
QZ_DECLARE_EXCEPTION(EWriteError, EStreamError);  // short write in WriteBuffer
QZ_DECLARE_EXCEPTION(EFOpenError, EStreamError);  // a file stream could not open
QZ_DECLARE_EXCEPTION(EFCreateError, EStreamError);  // a file stream could not create
QZ_DECLARE_EXCEPTION(ERegistryException, Exception);

// Text-file output failures carry the operating system's error code.
class EInOutError : public Exception {
public:
  EInOutError(String message, uint32_t errorCode);
  uint32_t ErrorCode() const noexcept { return errorCode_; }

private:
  uint32_t errorCode_;
};

// An operating-system call failed: "System Error.  Code: <code>.\r\n<system text>"
// (raised by RaiseLastOSError). See base/os_error.h.
class EOSError : public Exception {
public:
  EOSError(String message, uint32_t errorCode);
  uint32_t ErrorCode() const noexcept { return errorCode_; }

private:
  uint32_t errorCode_;
};
