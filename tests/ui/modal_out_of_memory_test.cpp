// A modal form whose list of windows to disable runs out of memory part-way: the
// failure comes out of ShowModal, not through the system's window enumeration, and
// no window is left disabled.
#include <gtest/gtest.h>

#include <windows.h>

#include <new>

#include "tests/ui/gui_test.h"
#include "tests/ui/import_hook.h"
#include "ui/forms.h"

namespace {
// Armed by the test: the next allocation fails.
bool failNextAllocation = false;
bool enumerating = false;

using EnumThreadWindowsFn = BOOL(WINAPI*)(DWORD, WNDENUMPROC, LPARAM);
using EnableWindowFn = BOOL(WINAPI*)(HWND, BOOL);
EnumThreadWindowsFn realEnumThreadWindows = nullptr;
EnableWindowFn realEnableWindow = nullptr;

BOOL WINAPI WatchedEnumThreadWindows(DWORD thread, WNDENUMPROC visit, LPARAM data) {
  enumerating = true;
  const BOOL result = realEnumThreadWindows(thread, visit, data);
  enumerating = false;
  failNextAllocation = false;
  return result;
}

// The allocation after the first window disabled during the enumeration fails.
BOOL WINAPI ArmingEnableWindow(HWND window, BOOL enable) {
  const BOOL result = realEnableWindow(window, enable);
  if (enumerating && !enable) failNextAllocation = true;
  return result;
}
}  // namespace

void* operator new(size_t size) {
  if (failNextAllocation) {
    failNextAllocation = false;
    throw std::bad_alloc();
  }
  if (void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  if (p) HeapFree(GetProcessHeap(), 0, p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

TEST(ModalForms, AFailedDisablingLeavesEveryWindowEnabled) {
  auto first = MakeForm<TForm>(TFormArgs{.Caption = u"First"});
  auto second = MakeForm<TForm>(TFormArgs{.Caption = u"Second"});
  first->Show();
  second->Show();
  auto modal = MakeForm<TForm>(TFormArgs{.Caption = u"Modal"}, first.get());
  gui_test::Pump();
  bool raised = false;
  {
    gui_test::ImportHook enumHook("user32.dll", "EnumThreadWindows",
                                  reinterpret_cast<void*>(&WatchedEnumThreadWindows));
    gui_test::ImportHook enableHook("user32.dll", "EnableWindow",
                                    reinterpret_cast<void*>(&ArmingEnableWindow));
    ASSERT_TRUE(enumHook.Installed() && enableHook.Installed());
    realEnumThreadWindows = reinterpret_cast<EnumThreadWindowsFn>(enumHook.Original());
    realEnableWindow = reinterpret_cast<EnableWindowFn>(enableHook.Original());
    try {
      modal->ShowModal();
    } catch (const std::bad_alloc&) {
      raised = true;
    }
  }
  EXPECT_TRUE(raised);
  EXPECT_TRUE(IsWindowEnabled(first->Handle()));
  EXPECT_TRUE(IsWindowEnabled(second->Handle()));
  EXPECT_FALSE(modal->Visible());
  // Nothing is left behind: the next modal showing disables and enables as ever.
  PostMessageW(modal->Handle(), WM_CLOSE, 0, 0);
  modal->ShowModal();
  EXPECT_TRUE(IsWindowEnabled(first->Handle()));
  EXPECT_TRUE(IsWindowEnabled(second->Handle()));
}

}  // namespace
