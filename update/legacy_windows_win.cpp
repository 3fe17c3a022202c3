#include <windows.h>

#include "update/legacy_windows.h"

TOsVersionFacts CurrentOsVersionFacts() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // Deprecated, but the choice rests on its answer. Without a manifest Windows 8.1 and
  // later report 6.2, which is still on the right side of the line.
  if (!GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
  return {info.dwPlatformId, info.dwMajorVersion};
}
