// Which name the setup program is started under: Windows 9x and NT 3 to 5 take
// _vqupdate.exe, later Windows Update_<program>.exe.
#pragma once

#include <cstdint>

// The version values as GetVersionExW reports them.
struct TOsVersionFacts {
  uint32_t PlatformId = 0;  // 1 Windows 9x, 2 Windows NT
  uint32_t MajorVersion = 0;
};

bool IsLegacyWindows(const TOsVersionFacts& facts);
// The running system's facts (Windows only).
TOsVersionFacts CurrentOsVersionFacts();
