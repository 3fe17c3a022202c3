// The system's HTML Help viewer, reached through hhctrl.ocx from the system folder.
#pragma once

#include <windows.h>

#include "base/string.h"
#include "base/win_handle.h"

class THtmlHelpLibrary {
public:
  THtmlHelpLibrary() = default;
  // Closes every viewer the library opened before it goes.
  ~THtmlHelpLibrary();
  THtmlHelpLibrary(const THtmlHelpLibrary&) = delete;
  THtmlHelpLibrary& operator=(const THtmlHelpLibrary&) = delete;

  // Opens File at Topic in a viewer owned by Owner. Loads the library on first use; false,
  // with nothing shown, when it or one of its entry points cannot be found.
  bool DisplayTopic(HWND Owner, const String& File, const String& Topic);
  bool Loaded() const { return htmlHelpW_ != nullptr; }

private:
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  bool Load();

  UniqueModule library_;
  HtmlHelpFn htmlHelpW_ = nullptr;
};
