// Linked into every test program of the Windows tree (through gtest_main).
//
// Wine 8 takes the whole process down with SIGSEGV when the process ends while one of
// its threads is still starting (a plain CreateThread followed by the end of main does
// it, about once in a hundred runs under load). GoogleTest starts such a thread the
// first time a thread of the test uses SCOPED_TRACE and the like: a watcher that frees
// that thread's test-local values when it ends. A short test ends the process within
// that start. So a test program, as it ends, waits until every thread of it has
// started: a started thread has run the image's thread-attach callback below.
#include <windows.h>

#include <tlhelp32.h>

#include "base/win_handle.h"

namespace {
// Threads other than the first that have attached and not yet detached.
volatile LONG g_startedThreads = 0;

void NTAPI OnThreadEvent(PVOID, DWORD reason, PVOID) {
  if (reason == DLL_THREAD_ATTACH) InterlockedIncrement(&g_startedThreads);
  else if (reason == DLL_THREAD_DETACH) InterlockedDecrement(&g_startedThreads);
}

// The process's threads besides the calling one, -1 when they cannot be listed.
int OtherThreads() {
  UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return -1;
  const DWORD self = GetCurrentProcessId();
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == self) ++count;
  }
  return count - 1;
}

// A thread that never starts (made suspended and left so) must not hold the test.
constexpr DWORD kMaxWaitMs = 30000;

void WaitForStartingThreads() {
  const ULONGLONG until = GetTickCount64() + kMaxWaitMs;
  while (GetTickCount64() < until) {
    const int others = OtherThreads();
    if (others < 0 || others <= g_startedThreads) return;
    Sleep(1);
  }
}

// After main and before the process ends, which is where Wine stops the other threads.
struct WaitAtExit {
  ~WaitAtExit() { WaitForStartingThreads(); }
} g_waitAtExit;
}  // namespace

// Called by the loader for every thread of the image, in that thread.
extern "C" __attribute__((section(".CRT$XLY"), used))
const PIMAGE_TLS_CALLBACK qz_thread_start_callback = OnThreadEvent;
