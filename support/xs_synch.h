// Thin classes around Windows waitable objects and critical sections.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/string.h"
#include "base/win_handle.h"

enum class TXsWaitResult { wrAbandoned, wrError, wrIoCompletion, wrSignaled, wrTimeout };

// Maps an answer of WaitForSingleObject.
TXsWaitResult WaitResultOf(DWORD answer);

// A waitable kernel object; owns its handle.
class TXsDispatcherObject {
public:
  virtual ~TXsDispatcherObject() = default;
  TXsDispatcherObject(const TXsDispatcherObject&) = delete;
  TXsDispatcherObject& operator=(const TXsDispatcherObject&) = delete;

  bool Existed() const { return FExisted; }
  HANDLE Handle() const { return FHandle.get(); }
  const String& Name() const { return FName; }
  // INFINITE waits for ever; a failed wait is wrError and raises nothing.
  TXsWaitResult WaitFor(uint32_t timeOut);

protected:
  TXsDispatcherObject() = default;
  bool FExisted = false;
  UniqueHandle FHandle;
  String FName;
};

class TXsMutex : public TXsDispatcherObject {
public:
  // Creates or opens the named mutex (an empty name: unnamed). Raises EXsMutexError
  // when Windows refuses, for instance when another kind of object has the name.
  TXsMutex(const SECURITY_ATTRIBUTES* secAttr, bool initialOwner, const String& name);
  // False when the calling thread does not own the mutex.
  bool Release();
};

class TXsCriticalSection {
public:
  TXsCriticalSection() { InitializeCriticalSection(&FCriticalSection); }
  virtual ~TXsCriticalSection() { DeleteCriticalSection(&FCriticalSection); }
  TXsCriticalSection(const TXsCriticalSection&) = delete;
  TXsCriticalSection& operator=(const TXsCriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&FCriticalSection); }
  void Leave() { LeaveCriticalSection(&FCriticalSection); }

private:
  CRITICAL_SECTION FCriticalSection;
};
