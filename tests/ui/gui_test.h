// Helpers for tests that open real windows: pumping, capturing pixels, PNG output
// and recording the errors the application would show.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/string.h"
#include "ui/application.h"
#include "ui/canvas.h"
#include "ui/control.h"

namespace gui_test {

// Handles what is queued now, then keeps pumping for ms milliseconds.
inline void Pump(int ms = 0) {
  DWORD end = GetTickCount() + DWORD(ms);
  do {
    Application().ProcessMessages();
    if (ms > 0) Sleep(5);
  } while (ms > 0 && int(end - GetTickCount()) > 0);
}

// Copies the client area of a window (as painted now) into bitmap.
inline bool CaptureClient(HWND hwnd, TBitmap& bitmap) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  GetClientRect(hwnd, &r);
  if (!bitmap.SetSize(r.right, r.bottom)) return false;
  HDC dc = GetDC(hwnd);
  BOOL ok = BitBlt(bitmap.DC(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(hwnd, dc);
  return ok != 0;
}

// Copies the whole window, frame included, from the screen into bitmap, after a full
// redraw and settleMs of pumping.
inline bool CaptureWindow(HWND hwnd, TBitmap& bitmap, int settleMs) {
  RECT r;
  GetWindowRect(hwnd, &r);
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  Pump(settleMs);
  if (!bitmap.SetSize(r.right - r.left, r.bottom - r.top)) return false;
  HDC screen = GetDC(nullptr);
  BOOL ok = BitBlt(bitmap.DC(), 0, 0, bitmap.Width(), bitmap.Height(), screen, r.left, r.top,
                   SRCCOPY);
  ReleaseDC(nullptr, screen);
  return ok != 0;
}

// What a capture shows inside a rectangle (clipped to the capture): how many distinct
// colours (a blank area has one), and whether dark, text-like pixels are among them.
inline int DistinctColours(const TBitmap& shot, const TRect& r) {
  std::vector<TColor> seen;
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, shot.Height()); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, shot.Width()); ++x) {
      const TColor c = shot.Pixel(x, y);
      if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
      if (seen.size() > 256) return int(seen.size());
    }
  return int(seen.size());
}

inline bool HasInk(const TBitmap& shot, const TRect& r) {
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, shot.Height()); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, shot.Width()); ++x) {
      const TColor c = shot.Pixel(x, y);
      if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) return true;
    }
  return false;
}

// A control's rectangle in the coordinates of a capture whose top-left is the screen
// point origin.
inline TRect RectInCapture(const TControl& control, POINT origin) {
  const TPoint at = control.ClientToScreen({0, 0});
  const int left = at.X - origin.x, top = at.Y - origin.y;
  return TRect{left, top, left + control.Width(), top + control.Height()};
}

// Messages handed to the application's error handler while one of these lives.
class ErrorRecorder {
public:
  ErrorRecorder() {
    Messages().clear();
    Application().SetExceptionHook([](const String& m) { Messages().push_back(m); });
  }
  ~ErrorRecorder() { Application().SetExceptionHook(nullptr); }
  static std::vector<String>& Messages() {
    static std::vector<String> list;
    return list;
  }
};

// Sends a left click at a client point of a window, as the mouse would.
inline void Click(HWND hwnd, int x, int y, WPARAM keys = 0) {
  SendMessageW(hwnd, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
  SendMessageW(hwnd, WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(hwnd, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
}

inline void KeyDown(HWND hwnd, WORD key) { SendMessageW(hwnd, WM_KEYDOWN, key, 1); }

// Ends the test program with a message when the scope is not left within ms
// milliseconds: a hang fails at once instead of at the test runner's timeout.
class HangGuard {
public:
  explicit HangGuard(const char* what, int ms = 20000)
      : watcher_([this, what, ms] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!left_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; })) {
            std::fprintf(stderr, "HANG: %s did not return within %d ms\n", what, ms);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
          }
        }) {}
  ~HangGuard() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    left_.notify_one();
    watcher_.join();
  }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;

private:
  std::mutex mutex_;
  std::condition_variable left_;
  bool done_ = false;
  std::thread watcher_;  // last: starts once the members it waits on exist
};

}  // namespace gui_test
