#include "base/exception.h"

#include <new>

#include "base/messages.h"

Exception::Exception(String message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

EInOutError::EInOutError(String message, uint32_t errorCode)
    : Exception(std::move(message)), errorCode_(errorCode) {}

EOSError::EOSError(String message, uint32_t errorCode)
    : Exception(std::move(message)), errorCode_(errorCode) {}

String ExceptionMessage(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return base_text::kOutOfMemory;
  } catch (const std::exception& e) {
    return FromUtf8(e.what());
  } catch (...) {
    return base_text::kUnknownError;
  }
  return String();
}
