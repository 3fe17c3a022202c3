// A fresh folder for one test, removed with what is left in it.
#pragma once

#include <string>

#include "base/string.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#endif

class TempDir {
public:
  TempDir() {
#ifdef _WIN32
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    for (unsigned n = GetCurrentProcessId() * 100;; ++n) {
      std::wstring p = std::wstring(base) + L"qzbase" + std::to_wstring(n);
      if (CreateDirectoryW(p.c_str(), nullptr)) {
        path_ = String(reinterpret_cast<const Char*>(p.c_str()));
        break;
      }
    }
#else
    char pattern[] = "/tmp/qzbaseXXXXXX";
    path_ = FromUtf8(mkdtemp(pattern));
#endif
  }
  ~TempDir() {
#ifdef _WIN32
    std::wstring p(reinterpret_cast<const wchar_t*>(path_.c_str()));
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((p + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring full = p + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryW(full.c_str());
        else
          DeleteFileW(full.c_str());
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(p.c_str());
#else
    std::error_code ec;
    std::filesystem::remove_all(ToUtf8(path_), ec);
#endif
  }
  const String& Path() const { return path_; }
  String File(const String& name) const { return Join(path_, name); }
  static String Join(const String& folder, const String& name) {
#ifdef _WIN32
    return folder + u"\\" + name;
#else
    return folder + u"/" + name;
#endif
  }

private:
  String path_;
};
