// Starting the installed program with the rights of the user signed in to the desktop,
// not with the setup program's own (which asks for administrator rights).
#pragma once

#include "base/string.h"

// How the desktop shell took a start request.
enum class TShellStart {
  Started,  // the shell started the program
  Refused,  // the shell was reached but could not start the program
  NoShell,  // no desktop shell answers (none runs, or it lacks the interfaces)
};

// Asks the desktop shell's own process to start Program with Parameters (default verb,
// no working folder, shown normally), so the program gets the shell's rights.
TShellStart StartThroughDesktopShell(const String& Program, const String& Parameters);

// Whether this process holds raised rights that a program it starts itself would
// inherit: the full half of a split administrator token.
bool HoldsRaisedRights();

// Starts Program through the desktop shell; where none answers, starts it directly
// unless that would pass raised rights on. True when the program was started.
bool StartAsDesktopUser(const String& Program, const String& Parameters);
