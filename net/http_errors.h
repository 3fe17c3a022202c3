// Failures of the HTTP client. Every one carries a sentence a user can read.
#pragma once

#include <cstdint>

#include "base/exception.h"

// A request that did not bring a whole, acceptable body: a bad address, a name that
// does not resolve, no connection, a time-out, a body cut short or too large, an
// unknown character set. ErrorCode is WinHTTP's or the system's code, 0 when the
// fault was found by the client itself.
class EHttpError : public Exception {
 public:
  EHttpError(String message, uint32_t errorCode = 0)
      : Exception(std::move(message)), errorCode_(errorCode) {}
  uint32_t ErrorCode() const noexcept { return errorCode_; }

 private:
  uint32_t errorCode_;
};

// The server answered with a status other than 2xx (redirects included: none is
// followed).
class EHttpProtocolError : public EHttpError {
 public:
  EHttpProtocolError(String message, int responseCode)
      : EHttpError(std::move(message)), responseCode_(responseCode) {}
  int ResponseCode() const noexcept { return responseCode_; }

 private:
  int responseCode_;
};
