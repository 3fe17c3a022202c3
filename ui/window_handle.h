// Owner of a window handle: destroys the window when it goes.
#pragma once

#include <windows.h>

#include "base/win_handle.h"

struct WindowHandleTraits {
  static HWND Invalid() { return nullptr; }
  static void Close(HWND h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueOwner<HWND, WindowHandleTraits>;
