#include "common/ask_yes_no.h"

#include <windows.h>

#include "ui/application.h"

int AskYesNo(const String& Text, const String& Caption) {
  return Application().MessageBox(Text, Caption, MB_YESNO | MB_ICONQUESTION) == IDYES ? IDYES
                                                                                        : IDNO;
}
