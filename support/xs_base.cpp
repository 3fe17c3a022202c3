#include "support/xs_base.h"

#include <windows.h>

#include "support/xs_errors.h"
#include "support/xs_messages.h"

uint8_t AnsiDefaultChar = 0;

void LoadAnsiDefaultChar() {
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info)) throw EXsInternalError(xs_text::kAnsiDefaultChar);
  AnsiDefaultChar = info.DefaultChar[0];
}
