#include "support/xs_named_memory.h"

#include <windows.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/text.h"
#include "base/win_string.h"
#include "support/xs_errors.h"
#include "support/xs_sys_info.h"

namespace {
String UniqueName(const char* what) {
  return FromUtf8(what) + u"_" + FromUtf8(std::to_string(GetCurrentProcessId()));
}

const TMMFHandleListItem* RecordAt(const void* p) {
  for (const TMMFHandleListItem* item = NamedMemoryList.get(); item; item = item->Next.get())
    if (item->Memory.get() == p) return item;
  return nullptr;
}

TEST(XsNamedMemory, ASecondOpenSharesTheBlockAndCountsIt) {
  const String name = UniqueName("QzXsShared");
  void* first = nullptr;
  EXPECT_EQ(OpenNamedMemory(first, name, 4, FILE_MAP_ALL_ACCESS), 0);
  ASSERT_NE(first, nullptr);
  // Only A-Z fold: the name differs in case only.
  void* second = nullptr;
  EXPECT_EQ(OpenNamedMemory(second, LowerCase(name), 4, FILE_MAP_ALL_ACCESS), 183);
  EXPECT_EQ(second, first);
  ASSERT_NE(RecordAt(first), nullptr);
  EXPECT_EQ(RecordAt(first)->References, 2);

  void* copy = first;
  EXPECT_TRUE(FreeNamedMemory(copy));
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(RecordAt(first)->References, 1);
  *static_cast<uint32_t*>(second) = 7;  // still mapped
  EXPECT_TRUE(CloseNamedMemory(second));
  EXPECT_EQ(RecordAt(first), nullptr);
  // Unmapped and closed: the system has no block of that name any more.
  UniqueHandle gone(OpenFileMappingW(FILE_MAP_READ, FALSE, W(name)));
  EXPECT_FALSE(gone);
}

TEST(XsNamedMemory, NamesDifferingBeyondAsciiLettersAreDifferentBlocks) {
  const String name = UniqueName("QzXs\xC3\x84");
  String other = name;
  other[4] = u'\u00E4';
  void* a = nullptr;
  void* b = nullptr;
  EXPECT_EQ(OpenNamedMemory(a, name, 4, FILE_MAP_ALL_ACCESS), 0);
  EXPECT_EQ(OpenNamedMemory(b, other, 4, FILE_MAP_ALL_ACCESS), 0);
  EXPECT_NE(a, b);
  FreeNamedMemory(a);
  FreeNamedMemory(b);
}

TEST(XsNamedMemory, ABlockOfAnotherOpenerIsReportedAsExisting) {
  const String name = UniqueName("QzXsForeign");
  UniqueHandle foreign(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, W(name)));
  ASSERT_TRUE(foreign);
  void* view = MapViewOfFile(foreign.get(), FILE_MAP_ALL_ACCESS, 0, 0, 4);
  ASSERT_NE(view, nullptr);
  *static_cast<uint32_t*>(view) = 0x1234;

  // Size 0 maps what exists.
  void* p = nullptr;
  EXPECT_EQ(OpenNamedMemory(p, name, 0, FILE_MAP_ALL_ACCESS), 183);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(*static_cast<uint32_t*>(p), 0x1234u);
  EXPECT_TRUE(FreeNamedMemory(p));
  UnmapViewOfFile(view);
}

TEST(XsNamedMemory, RefusesBadRequestsWithClearErrors) {
  void* p = reinterpret_cast<void*>(1);
  try {
    OpenNamedMemory(p, UniqueName("QzXsEmpty"), 0, FILE_MAP_ALL_ACCESS);
    FAIL() << "no error";
  } catch (const ESharedMemError& e) {
    EXPECT_EQ(e.Message(), u"The MMF named \"" + UniqueName("QzXsEmpty") +
                               u"\" cannot be created empty");
  }
  EXPECT_EQ(p, nullptr);

  const String withNul = String(u"QzXs\0Cut", 8);
  EXPECT_THROW(OpenNamedMemory(p, withNul, 4, FILE_MAP_ALL_ACCESS), ESharedMemError);

  // A name held by another kind of object: the system's error, no record.
  const String name = UniqueName("QzXsEventName");
  UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, W(name)));
  ASSERT_TRUE(event);
  EXPECT_THROW(OpenNamedMemory(p, name, 4, FILE_MAP_ALL_ACCESS), EOSError);
  EXPECT_EQ(NamedMemoryList, nullptr);
}

// The version facts decide the name rule; restored after each test.
class XsNamedMemoryOnOldWindows : public ::testing::Test {
protected:
  void SetUp() override {
    LoadWin32Version();
    platform_ = Win32Platform;
    major_ = Win32MajorVersion;
  }
  void TearDown() override {
    Win32Platform = platform_;
    Win32MajorVersion = major_;
  }
  uint32_t platform_ = 0, major_ = 0;
};

TEST_F(XsNamedMemoryOnOldWindows, BackslashesAndEmptyNamesAreRefusedBelow2000Only) {
  const struct {
    uint32_t platform, major;
    bool refused;
  } systems[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, true},
      {VER_PLATFORM_WIN32_NT, 4, true},
      {VER_PLATFORM_WIN32_NT, 5, false},
      {VER_PLATFORM_WIN32_NT, 6, false},
      // Unrecognised by the release classes, but not old.
      {VER_PLATFORM_WIN32_NT, 10, false},
  };
  const String name = u"Local\\" + UniqueName("QzXsLocal");
  for (const auto& s : systems) {
    Win32Platform = s.platform;
    Win32MajorVersion = s.major;
    void* p = nullptr;
    if (s.refused) {
      try {
        OpenNamedMemory(p, name, 4, FILE_MAP_ALL_ACCESS);
        ADD_FAILURE() << "accepted on " << s.platform << "/" << s.major;
      } catch (const ESharedMemError& e) {
        EXPECT_EQ(e.Message(), u"Invalid MMF name \"" + name + u"\"");
      }
      EXPECT_THROW(OpenNamedMemory(p, u"", 4, FILE_MAP_ALL_ACCESS), ESharedMemError);
    } else {
      EXPECT_EQ(OpenNamedMemory(p, name, 4, FILE_MAP_ALL_ACCESS), 0);
      EXPECT_TRUE(FreeNamedMemory(p));
    }
  }
}

TEST(XsNamedMemory, AnEarlierViewServesOnlyWhatItCovers) {
  const String name = UniqueName("QzXsCover");
  void* readOnly = nullptr;
  UniqueHandle block(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8192, W(name)));
  ASSERT_TRUE(block);
  EXPECT_EQ(OpenNamedMemory(readOnly, name, 4, FILE_MAP_READ), 183);
  // A writable view is its own mapping: writing through the read-only one would fault.
  void* writable = nullptr;
  EXPECT_EQ(OpenNamedMemory(writable, name, 4, FILE_MAP_ALL_ACCESS), 183);
  ASSERT_NE(writable, nullptr);
  EXPECT_NE(writable, readOnly);
  *static_cast<uint32_t*>(writable) = 42;
  EXPECT_EQ(*static_cast<uint32_t*>(readOnly), 42u);
  // A larger view than the 4 bytes asked for before.
  void* larger = nullptr;
  EXPECT_EQ(OpenNamedMemory(larger, name, 8192, FILE_MAP_ALL_ACCESS), 183);
  EXPECT_NE(larger, writable);
  static_cast<char*>(larger)[8191] = 1;
  // A smaller request is served by the newest view that covers it.
  void* small = nullptr;
  EXPECT_EQ(OpenNamedMemory(small, name, 4, FILE_MAP_READ), 183);
  EXPECT_EQ(small, larger);
  for (void* p : {readOnly, writable, larger, small}) EXPECT_TRUE(FreeNamedMemory(p));
  EXPECT_EQ(NamedMemoryList, nullptr);
}

// Size 0 asks for the whole block: a smaller view opened before does not serve it.
TEST(XsNamedMemory, AWholeBlockRequestGetsAWholeView) {
  const String name = UniqueName("QzXsWhole");
  constexpr uint32_t kBlock = 64 * 1024;
  UniqueHandle block(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlock, W(name)));
  ASSERT_TRUE(block);
  void* four = nullptr;
  EXPECT_EQ(OpenNamedMemory(four, name, 4, FILE_MAP_ALL_ACCESS), 183);
  void* whole = nullptr;
  EXPECT_EQ(OpenNamedMemory(whole, name, 0, FILE_MAP_ALL_ACCESS), 183);
  ASSERT_NE(whole, nullptr);
  EXPECT_NE(whole, four);
  MEMORY_BASIC_INFORMATION region{};
  ASSERT_EQ(VirtualQuery(whole, &region, sizeof region), sizeof region);
  ASSERT_GE(region.RegionSize, kBlock);
  static_cast<char*>(whole)[kBlock - 1] = 5;
  // A whole view serves a later whole request; a sized one it is not known to cover.
  void* wholeAgain = nullptr;
  EXPECT_EQ(OpenNamedMemory(wholeAgain, name, 0, FILE_MAP_READ), 183);
  EXPECT_EQ(wholeAgain, whole);
  for (void* p : {four, whole, wholeAgain}) EXPECT_TRUE(FreeNamedMemory(p));
  EXPECT_EQ(NamedMemoryList, nullptr);
}

// A copy view's writes stay private; a shared view is never handed out for one, nor a
// copy view for a shared request.
TEST(XsNamedMemory, CopyAccessGetsACopyView) {
  const String name = UniqueName("QzXsCopy");
  void* shared = nullptr;
  EXPECT_EQ(OpenNamedMemory(shared, name, 4, FILE_MAP_ALL_ACCESS), 0);
  *static_cast<uint32_t*>(shared) = 7;
  void* copy = nullptr;
  EXPECT_EQ(OpenNamedMemory(copy, name, 4, FILE_MAP_COPY), 183);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, shared);
  EXPECT_EQ(*static_cast<uint32_t*>(copy), 7u);
  *static_cast<uint32_t*>(copy) = 99;
  EXPECT_EQ(*static_cast<uint32_t*>(shared), 7u);
  // A second copy request shares the copy view; a read request does not take it.
  void* copyAgain = nullptr;
  EXPECT_EQ(OpenNamedMemory(copyAgain, name, 4, FILE_MAP_COPY), 183);
  EXPECT_EQ(copyAgain, copy);
  void* read = nullptr;
  EXPECT_EQ(OpenNamedMemory(read, name, 4, FILE_MAP_READ), 183);
  EXPECT_EQ(read, shared);
  EXPECT_EQ(*static_cast<uint32_t*>(read), 7u);
  for (void* p : {shared, copy, copyAgain, read}) EXPECT_TRUE(FreeNamedMemory(p));
  EXPECT_EQ(NamedMemoryList, nullptr);
}

TEST(XsNamedMemory, FreeingTellsWhetherTheListHeldTheAddress) {
  void* none = nullptr;
  EXPECT_TRUE(FreeNamedMemory(none));
  int local = 0;
  void* stranger = &local;
  EXPECT_FALSE(FreeNamedMemory(stranger));
  EXPECT_EQ(stranger, &local);
}

TEST(XsNamedMemory, TheListLockIsEnteredWhileAReferenceIsHeld) {
  if (NamedMemoryListClosed) GTEST_SKIP() << "the list was closed earlier in this process";
  ComPtr<IUnknown> lock;
  LockNamedMemoryList(lock);
  ASSERT_TRUE(lock);
  ComPtr<IUnknown> same;
  EXPECT_EQ(lock->QueryInterface(IID_IUnknown, same.put_void()), S_OK);
  EXPECT_EQ(same.get(), lock.get());
  ComPtr<IUnknown> none;
  EXPECT_EQ(lock->QueryInterface(IID_IClassFactory, none.put_void()), E_NOINTERFACE);

  // Another thread waits for the list while this one holds it.
  UniqueHandle opened(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread other([&] {
    void* p = nullptr;
    OpenNamedMemory(p, UniqueName("QzXsLocked"), 4, FILE_MAP_ALL_ACCESS);
    SetEvent(opened.get());
    FreeNamedMemory(p);
  });
  EXPECT_EQ(WaitForSingleObject(opened.get(), 200), DWORD(WAIT_TIMEOUT));
  same.reset();
  lock.reset();
  EXPECT_EQ(WaitForSingleObject(opened.get(), 5000), DWORD(WAIT_OBJECT_0));
  other.join();
}

TEST(XsNamedMemory, AfterClosingTheListWorksWithoutALock) {
  void* before = nullptr;
  OpenNamedMemory(before, UniqueName("QzXsBeforeClose"), 4, FILE_MAP_ALL_ACCESS);
  CloseNamedMemoryList();
  EXPECT_TRUE(NamedMemoryListClosed);
  EXPECT_EQ(NamedMemoryListLock, nullptr);
  ComPtr<IUnknown> lock;
  LockNamedMemoryList(lock);
  EXPECT_FALSE(lock);
  EXPECT_EQ(NamedMemoryListLock, nullptr);  // no new lock
  void* after = nullptr;
  EXPECT_EQ(OpenNamedMemory(after, UniqueName("QzXsAfterClose"), 4, FILE_MAP_ALL_ACCESS), 0);
  EXPECT_TRUE(FreeNamedMemory(after));
  EXPECT_TRUE(FreeNamedMemory(before));
}

TEST(XsModuleHandle, FreesAndClearsOnlyARealHandle) {
  HMODULE none = nullptr;
  FreeModuleHandle(none);
  EXPECT_EQ(none, nullptr);
  // A library nothing else in this program loads: freeing its only reference unloads it.
  const wchar_t* const name = L"cabinet.dll";
  ASSERT_EQ(GetModuleHandleW(name), nullptr);
  HMODULE library = LoadLibraryW(name);
  ASSERT_NE(library, nullptr);
  FreeModuleHandle(library);
  EXPECT_EQ(library, nullptr);
  EXPECT_EQ(GetModuleHandleW(name), nullptr);
}
}  // namespace
