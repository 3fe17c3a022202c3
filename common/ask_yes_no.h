// The yes/no question box of the update client's question lines.
#pragma once

#include "base/string.h"

// Yes is the default button. Returns 6 (IDYES) for Yes, 7 in every other case.
int AskYesNo(const String& Text, const String& Caption);
