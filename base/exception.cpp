#include "base/exception.h"

Exception::Exception(String message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

EInOutError::EInOutError(String message, uint32_t errorCode)
    : Exception(std::move(message)), errorCode_(errorCode) {}

EOSError::EOSError(String message, uint32_t errorCode)
    : Exception(std::move(message)), errorCode_(errorCode) {}
