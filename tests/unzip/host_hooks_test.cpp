#include "unzip/host_hooks.h"

#include <gtest/gtest.h>

#include "unzip/zip_file_routines.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win_handle.h"
#endif

namespace {

TEST(HostHooks, DecliningAnswerPerButtonSet) {
  const struct {
    uint32_t flags;
    int32_t answer;
  } cases[] = {
      {mbOK, idOK},           {mbOKCancel, idCancel},      {mbAbortRetryIgnore, idAbort},
      {mbYesNoCancel, idCancel}, {mbYesNo, idNo},           {mbRetryCancel, idCancel},
      {mbCancelTryContinue, idCancel},
      {mbYesNo | 0x30, idNo},  // icon bits do not matter
  };
  for (const auto& c : cases) EXPECT_EQ(DecliningAnswer(c.flags), c.answer) << c.flags;
}

TEST(HostHooks, HooksReplaceTheDefaultsForTheirScope) {
  int pumped = 0;
  String seenText, seenCaption;
  uint32_t seenFlags = 0;
  {
    TZipHostHooks hooks;
    hooks.PumpMessages = [&] {
      ++pumped;
      return pumped == 2;
    };
    hooks.Prompt = [&](const String& text, const String& caption, uint32_t flags) {
      seenText = text;
      seenCaption = caption;
      seenFlags = flags;
      return idYes;
    };
    TZipHostHooksScope scope(std::move(hooks));
    EXPECT_FALSE(PumpMessages());
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(PromptHost(u"Replace existing file a.txt?", u"File Exists Alert", mbYesNo), idYes);
  }
  EXPECT_EQ(pumped, 2);
  EXPECT_EQ(seenText, u"Replace existing file a.txt?");
  EXPECT_EQ(seenCaption, u"File Exists Alert");
  EXPECT_EQ(seenFlags, mbYesNo);
  EXPECT_FALSE(ZipHostHooks().PumpMessages);
  EXPECT_FALSE(ZipHostHooks().Prompt);
}

TEST(HostHooks, PartialHooksKeepTheOtherDefault) {
  TZipHostHooks hooks;
  hooks.Prompt = [](const String&, const String&, uint32_t) { return idRetry; };
  TZipHostHooksScope scope(std::move(hooks));
  EXPECT_FALSE(PumpMessages());  // default pump on an empty queue
  EXPECT_EQ(PromptHost(u"t", u"c", mbRetryCancel), idRetry);
}

#ifdef _WIN32
TEST(DefaultPump, EmptyQueueAnswersFalse) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_FALSE(DefaultPumpMessages());
}

TEST(DefaultPump, DispatchesPendingMessages) {
  ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP + 1, 0, 0));
  ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP + 2, 0, 0));
  EXPECT_FALSE(DefaultPumpMessages());
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static void Close(HWND h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;

// A message-only window that counts the WM_APP messages dispatched to it.
class TCountingWindow {
public:
  TCountingWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &TCountingWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    registered_ = RegisterClassW(&wc) != 0;
    window_.reset(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr));
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, LONG_PTR(&calls_));
  }
  ~TCountingWindow() {
    window_.reset();
    if (registered_) UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
  }
  HWND Handle() const { return window_.get(); }
  int Calls() const { return calls_; }

private:
  static constexpr const wchar_t* kClassName = L"QzPumpCountingWindow";
  // Nothing here can throw.
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
      if (auto* calls = reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) ++*calls;
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  bool registered_ = false;
  UniqueWindow window_;
  int calls_ = 0;
};

TEST(DefaultPump, DispatchesToTheWindowsOfTheThread) {
  TCountingWindow window;
  ASSERT_NE(window.Handle(), nullptr);
  ASSERT_TRUE(PostMessageW(window.Handle(), WM_APP, 0, 0));
  ASSERT_TRUE(PostMessageW(window.Handle(), WM_APP, 1, 0));
  EXPECT_FALSE(DefaultPumpMessages());
  EXPECT_EQ(window.Calls(), 2);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(DefaultPump, QuitIsReportedAndStaysQueued) {
  PostQuitMessage(7);
  EXPECT_TRUE(DefaultPumpMessages());
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, WPARAM(7));
  // The quit state of the thread is consumed by the Peek above.
  EXPECT_FALSE(DefaultPumpMessages());
}
#else
TEST(DefaultPump, NativeDefaultsDoNothingAndDecline) {
  EXPECT_FALSE(DefaultPumpMessages());
  EXPECT_EQ(DefaultPrompt(u"Please insert disk 2 of the multi-disk set.", u"", mbOKCancel),
            idCancel);
  EXPECT_EQ(PromptHost(u"Replace existing file x?", u"File Exists Alert", mbYesNo), idNo);
}
#endif

}  // namespace
