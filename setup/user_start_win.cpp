// The start goes through the desktop window's folder view: its shell application
// object lives in the shell's process and starts programs from there.
#include "setup/user_start.h"

#include <windows.h>

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "base/win_handle.h"
#include "base/win_string.h"

namespace {

// A VARIANT cleared on every path.
struct OwnedVariant {
  VARIANT v;
  OwnedVariant() { VariantInit(&v); }
  ~OwnedVariant() { VariantClear(&v); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// A BSTR freed on every path; null when it cannot be made.
struct OwnedBstr {
  BSTR b;
  explicit OwnedBstr(const String& s) : b(SysAllocStringLen(W(s), UINT(s.size()))) {}
  ~OwnedBstr() { SysFreeString(b); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
};

// The shell application object of the desktop's folder view, or null.
ComPtr<IShellDispatch2> DesktopShellApplication() {
  ComPtr<IShellDispatch2> none;
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.put_void())))
    return none;
  OwnedVariant location, root;
  location.v.vt = VT_I4;
  location.v.lVal = CSIDL_DESKTOP;
  long window = 0;
  ComPtr<IDispatch> desktop;
  if (windows->FindWindowSW(&location.v, &root.v, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            desktop.put()) != S_OK ||
      !desktop)
    return none;
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
  if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void())) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) ||
      FAILED(browser->QueryActiveShellView(view.put())) || !view ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())) ||
      FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())) ||
      FAILED(folderView->get_Application(application.put())) || !application ||
      FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void())))
    return none;
  return shell;
}

}  // namespace

TShellStart StartThroughDesktopShell(const String& Program, const String& Parameters) {
  ComPtr<IShellDispatch2> shell = DesktopShellApplication();
  if (!shell) return TShellStart::NoShell;
  OwnedBstr file(Program);
  OwnedVariant arguments, folder, verb, show;
  arguments.v.vt = VT_BSTR;
  arguments.v.bstrVal = SysAllocStringLen(W(Parameters), UINT(Parameters.size()));
  show.v.vt = VT_I4;
  show.v.lVal = SW_SHOWNORMAL;
  if (!file.b || !arguments.v.bstrVal) return TShellStart::Refused;
  // S_FALSE: the shell tried and the program did not start.
  return shell->ShellExecute(file.b, arguments.v, folder.v, verb.v, show.v) == S_OK
             ? TShellStart::Started
             : TShellStart::Refused;
}

bool HoldsRaisedRights() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  UniqueHandle token(raw);
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  // Systems without split tokens do not know the query: nothing raised to pass on.
  if (!GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size))
    return false;
  return type == TokenElevationTypeFull;
}

bool StartAsDesktopUser(const String& Program, const String& Parameters) {
  switch (StartThroughDesktopShell(Program, Parameters)) {
    case TShellStart::Started: return true;
    // Started directly it would fail alike, and with the wrong rights.
    case TShellStart::Refused: return false;
    case TShellStart::NoShell: break;
  }
  // Without a shell (another shell, or none) a direct start gives the program this
  // process's rights: right for a plain user, wrong for raised ones. The program is then
  // left for the user to start from the shortcuts.
  if (HoldsRaisedRights()) return false;
  const auto code = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, W(Program), W(Parameters), nullptr, SW_SHOWNORMAL));
  return code > 32;
}
