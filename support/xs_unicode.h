// Locale-aware, case-insensitive comparison of wide texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/global_owner.h"
#include "base/string.h"
#include "support/xs_synch.h"

// Results: -1 S1 sorts first, 0 equal, 1 S1 sorts after, -2 the system comparison failed.
using TCompareTextProc = int32_t (*)(StringView s1, StringView s2, LCID locale);

// The default ANSI code page of a locale (0 for a Unicode-only locale); the system's
// ANSI code page when the locale cannot say.
uint32_t LocaleAnsiCodePage(LCID locale);
int32_t CompareTextByWide(StringView s1, StringView s2, LCID locale);
// Through the locale's ANSI code page, as Windows 9x compares. Texts that cannot be
// converted to it are compared as CompareTextByWide does, never as equal.
int32_t CompareTextByAnsi(StringView s1, StringView s2, LCID locale);

extern GlobalOwner<TXsCriticalSection> UnicodeDataLock;  // never entered by the programs
extern TCompareTextProc LocaleCompareText;

void InitUnicodeSupport();
// Frees the lock and the character database's storage.
void DoneUnicodeSupport();
