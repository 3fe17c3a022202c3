// What the main window's help, web-site and update commands reach outside the program,
// gathered so that one place decides it (and tests can point it elsewhere).
#pragma once

#include <windows.h>

#include <functional>

#include "base/string.h"
#include "scan/html_help.h"

// The product's web site and the address of the version file on the update server,
// as the build set them.
String ProductWebSite();
String VersionFileUrl();
// The full path of the running program file.
String RunningProgramFile();

// Hands Address to the user's browser (ShellExecuteW "open", SW_SHOWNORMAL); the
// shell's result is not looked at.
void OpenWebAddress(HWND Owner, const String& Address);

using TOpenAddressFn = std::function<void(HWND Owner, const String& Address)>;
using TShowHelpFn = std::function<void(HWND Owner, const String& File, const String& Topic)>;

struct TMenuCommandHooks {
  TOpenAddressFn OpenAddress = OpenWebAddress;
  // Empty: the system's HTML Help through HtmlHelp below.
  TShowHelpFn ShowHelp;
  THtmlHelpLibrary HtmlHelp;
  // The help file is looked for beside this file; the update client is told it.
  String ProgramFile = RunningProgramFile();
  String VersionUrl = VersionFileUrl();
};
