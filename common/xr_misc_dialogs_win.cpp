#include "common/xr_misc_dialogs.h"

#include <shlobj.h>

#include "base/path.h"
#include "base/win_string.h"
#include "ui/application.h"

String BrowseInitialDir;

namespace {
constexpr int kPathBufferSize = MAX_PATH + 1;

void ShowMessage(const String& msg, const String& caption, UINT icon) {
  Application().MessageBox(msg, caption, MB_OK | icon);
}

// Frees a shell item list with the shell's task allocator.
struct PidlOwner {
  LPITEMIDLIST pidl;
  ~PidlOwner() {
    if (pidl) CoTaskMemFree(pidl);
  }
};
}  // namespace

void ShowInfoMsg(const String& Msg) { ShowMessage(Msg, u"Information", MB_ICONINFORMATION); }
void ShowWarningMsg(const String& Msg) { ShowMessage(Msg, u"Warning", MB_ICONWARNING); }
void ShowErrorMsg(const String& Msg) { ShowMessage(Msg, u"Error", MB_ICONERROR); }

POINT CentredDialogOrigin(const RECT& WorkArea, const RECT& Dialog) {
  // C++ division truncates towards zero, as the position rule wants.
  return POINT{(WorkArea.right - WorkArea.left) / 2 - (Dialog.right - Dialog.left) / 2,
               (WorkArea.bottom - WorkArea.top) / 2 - (Dialog.bottom - Dialog.top) / 2};
}

int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM) {
  if (Msg != BFFM_INITIALIZED) return 0;
  if (!BrowseInitialDir.empty())
    SendMessageW(Wnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(W(BrowseInitialDir)));
  RECT work{}, dialog{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(Wnd, &dialog);
  const POINT at = CentredDialogOrigin(work, dialog);
  MoveWindow(Wnd, at.x, at.y, dialog.right - dialog.left, dialog.bottom - dialog.top, TRUE);
  return 0;
}

bool BrowseForFolder(const String& Title, int Flags, const String& InitialDir, String& Folder) {
  Folder.clear();
  BrowseInitialDir = InitialDir;
  wchar_t displayName[kPathBufferSize] = {};
  BROWSEINFOW info{};
  info.hwndOwner = Application().Handle();
  info.pidlRoot = nullptr;
  info.pszDisplayName = displayName;
  info.lpszTitle = W(Title);
  info.ulFlags = UINT(Flags);
  info.lpfn = BrowseCallback;
  info.lParam = 0;
  PidlOwner chosen{SHBrowseForFolderW(&info)};
  return chosen.pidl && FolderOfItem(chosen.pidl, Folder);
}

bool FolderOfItem(LPCITEMIDLIST Item, String& Folder) {
  Folder.clear();
  wchar_t path[kPathBufferSize] = {};
  if (!SHGetPathFromIDListW(Item, path)) return false;
  String result = FromW(path, kPathBufferSize);
  if (result.empty()) return false;
  AddTrailingSeparator(result);
  Folder = result;
  return true;
}

String GetMyDocumentsDir() {
  wchar_t path[kPathBufferSize] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, FALSE)) return String();
  return FromW(path, kPathBufferSize);
}
