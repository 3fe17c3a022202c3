#include "update/legacy_windows.h"

bool IsLegacyWindows(const TOsVersionFacts& facts) {
  constexpr uint32_t kWindows9x = 1;
  constexpr uint32_t kWindowsNT = 2;
  if (facts.PlatformId == kWindows9x) return true;
  return facts.PlatformId == kWindowsNT && facts.MajorVersion >= 3 && facts.MajorVersion <= 5;
}
