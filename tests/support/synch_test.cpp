#include "support/xs_synch.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "support/xs_errors.h"

namespace {
// Names of their own per test: tests run in parallel processes.
String UniqueName(const char* what) {
  return FromUtf8(what) + u"_" + FromUtf8(std::to_string(GetCurrentProcessId()));
}

TEST(XsWaitResult, MapsEveryWindowsAnswer) {
  const struct {
    DWORD answer;
    TXsWaitResult result;
  } cases[] = {
      {WAIT_OBJECT_0, TXsWaitResult::wrSignaled},
      {WAIT_ABANDONED, TXsWaitResult::wrAbandoned},
      {WAIT_IO_COMPLETION, TXsWaitResult::wrIoCompletion},
      {WAIT_TIMEOUT, TXsWaitResult::wrTimeout},
      {WAIT_FAILED, TXsWaitResult::wrError},
      {1, TXsWaitResult::wrError},
  };
  for (const auto& c : cases) EXPECT_EQ(WaitResultOf(c.answer), c.result) << c.answer;
}

TEST(XsMutex, TellsWhetherTheNameExistedAlready) {
  const String name = UniqueName("QzXsMutexExisted");
  TXsMutex first(nullptr, false, name);
  EXPECT_FALSE(first.Existed());
  EXPECT_EQ(first.Name(), name);
  TXsMutex second(nullptr, false, name);
  EXPECT_TRUE(second.Existed());
  EXPECT_NE(first.Handle(), second.Handle());
}

TEST(XsMutex, WaitsReleasesAndSeesOtherOwners) {
  TXsMutex mutex(nullptr, false, UniqueName("QzXsMutexWait"));
  EXPECT_FALSE(mutex.Release());  // not owned yet
  EXPECT_EQ(mutex.WaitFor(0), TXsWaitResult::wrSignaled);
  EXPECT_TRUE(mutex.Release());

  // Owned by a thread that waits for a signal: others time out.
  UniqueHandle go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  UniqueHandle taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread owner([&] {
    WaitForSingleObject(mutex.Handle(), INFINITE);
    SetEvent(taken.get());
    WaitForSingleObject(go.get(), INFINITE);
    ReleaseMutex(mutex.Handle());
  });
  WaitForSingleObject(taken.get(), INFINITE);
  EXPECT_EQ(mutex.WaitFor(0), TXsWaitResult::wrTimeout);
  EXPECT_FALSE(mutex.Release());
  SetEvent(go.get());
  owner.join();

  // An owner that ends without releasing leaves the mutex abandoned.
  std::thread quitter([&] { WaitForSingleObject(mutex.Handle(), INFINITE); });
  quitter.join();
  EXPECT_EQ(mutex.WaitFor(1000), TXsWaitResult::wrAbandoned);
  EXPECT_TRUE(mutex.Release());
}

TEST(XsMutex, ANameTakenByAnotherKindOfObjectFailsWithTheWindowsError) {
  const String name = UniqueName("QzXsMutexSquatted");
  UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, W(name)));
  ASSERT_TRUE(event);
  try {
    TXsMutex mutex(nullptr, false, name);
    FAIL() << "no error";
  } catch (const EXsMutexError& e) {
    EXPECT_EQ(e.LastError(), uint32_t(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(e.LastErrorMsg().empty());
    EXPECT_EQ(e.Message(),
              u"Win32 error: " + e.LastErrorMsg() + u" (6)\r\nFailed to create mutex");
  }
}

TEST(XsMutex, ANameWithANulInsideIsRefused) {
  // Windows would see only the part before the NUL.
  const String name = UniqueName("QzXsMutexNul");
  TXsMutex plain(nullptr, false, name);
  try {
    TXsMutex cut(nullptr, false, name + String(u"\0x", 2));
    FAIL() << "opened " << ToUtf8(name);
  } catch (const EXsMutexError& e) {
    EXPECT_EQ(e.LastError(), uint32_t(ERROR_INVALID_NAME));
  }
}

TEST(XsWin32Error, TakesTheLastErrorBeforeBuildingItsText) {
  SetLastError(ERROR_ACCESS_DENIED);
  const EXsWin32Error e(u"Something failed");
  EXPECT_EQ(e.LastError(), uint32_t(ERROR_ACCESS_DENIED));
  EXPECT_EQ(e.Message(), u"Win32 error: " + e.LastErrorMsg() + u" (5)\r\nSomething failed");
}

// Both threads give their time slice away while inside: without the exclusion the other
// one would come in then.
TEST(XsCriticalSection, ExcludesOtherThreadsWhileEntered) {
  TXsCriticalSection section;
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::atomic<int> ready{0};
  auto work = [&] {
    ++ready;
    while (ready < 2) SwitchToThread();
    for (int i = 0; i < 2000; ++i) {
      section.Enter();
      if (++inside != 1) ++overlaps;
      SwitchToThread();
      --inside;
      section.Leave();
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(overlaps, 0);
}
}  // namespace
