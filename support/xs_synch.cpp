#include "support/xs_synch.h"

#include "base/win_string.h"
#include "support/xs_errors.h"
#include "support/xs_messages.h"

TXsWaitResult WaitResultOf(DWORD answer) {
  switch (answer) {
    case WAIT_OBJECT_0:
      return TXsWaitResult::wrSignaled;
    case WAIT_ABANDONED:
      return TXsWaitResult::wrAbandoned;
    case WAIT_IO_COMPLETION:
      return TXsWaitResult::wrIoCompletion;
    case WAIT_TIMEOUT:
      return TXsWaitResult::wrTimeout;
    default:
      return TXsWaitResult::wrError;
  }
}

TXsWaitResult TXsDispatcherObject::WaitFor(uint32_t timeOut) {
  return WaitResultOf(WaitForSingleObject(FHandle.get(), timeOut));
}

TXsMutex::TXsMutex(const SECURITY_ATTRIBUTES* secAttr, bool initialOwner, const String& name) {
  FName = name;
  // A name with a NUL inside would silently name another object.
  if (name.find(u'\0') != String::npos)
    throw EXsMutexError(ERROR_INVALID_NAME, xs_text::kMutexCreate);
  FHandle.reset(CreateMutexW(const_cast<SECURITY_ATTRIBUTES*>(secAttr), initialOwner,
                             name.empty() ? nullptr : W(name)));
  if (!FHandle) throw EXsMutexError(xs_text::kMutexCreate);
  FExisted = GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TXsMutex::Release() { return ReleaseMutex(FHandle.get()) != 0; }
