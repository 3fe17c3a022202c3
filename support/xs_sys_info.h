// Facts about the machine recorded at start-up, and the Windows release class.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/string.h"

// The Windows version as the program reads it once before the support modules start
// (LoadWin32Version); tests may set other values to reach the 9x and NT 4 branches.
extern uint32_t Win32Platform;  // 1 Windows 9x, 2 NT
extern uint32_t Win32MajorVersion;
extern uint32_t Win32MinorVersion;
extern Char Win32CSDVersion[128];  // service-pack text, NUL-terminated
void LoadWin32Version();

enum TWindowsRelease : uint8_t {
  relUnrecognised,
  relWin95,
  relWin95OSR2,
  relWin98,
  relWin98SE,
  relWinME,
  relWinNT31,
  relWinNT35,
  relWinNT351,
  relWinNT4,
  relWin2000,
  relWinXP,
  relWinServer2003,
  relWinXP64,
  relWinServer2003R2,
  relWinVista,
  relWinServer2008,
  relWin7,
  relWinServer2008R2,
};

// Everything the classification looks at.
struct TReleaseFacts {
  uint32_t Platform = 0;
  uint32_t MajorVersion = 0;
  uint32_t MinorVersion = 0;
  String CSDVersion;
  uint32_t KernelProductVersion = 0;
  bool ServerR2 = false;            // GetSystemMetrics(SM_SERVERR2) != 0
  uint16_t NativeArchitecture = 0;  // 0: 32-bit Intel
  bool ExtendedVersionRead = false;  // GetVersionExW with the extended record succeeded
  uint8_t ProductType = 0;          // 1: workstation
};

TWindowsRelease ClassifyRelease(const TReleaseFacts& facts);
// The facts of the running system and the Win32* variables above.
TReleaseFacts QueryReleaseFacts();
TWindowsRelease ClassifyWindowsRelease();
// The native variant when the kernel offers it (True), else the ordinary one.
bool QueryNativeSystemInfo(SYSTEM_INFO& info);
// Windows 9x, or NT before 2000: names of kernel objects may not hold a backslash there.
bool IsPreWin2000Platform();

extern uint32_t NumberOfProcessors;
extern uint32_t AllocationGranularity;
extern uint32_t SystemPageSize;
extern bool IsNTPlatform;
extern uint32_t KernelProductVersion;

extern bool RunningWin95;
extern bool RunningWin95OSR2;
extern bool RunningWin98;
extern bool RunningWin98SE;
extern bool RunningWinME;
extern bool RunningWinNT3;
extern bool RunningWinNT31;
extern bool RunningWinNT35;
extern bool RunningWinNT351;
extern bool RunningWinNT4;
extern bool RunningWin2000;
extern bool RunningWinXP;
extern bool RunningWinServer2003;
extern bool RunningWinXP64;
extern bool RunningWinServer2003R2;
extern bool RunningWinVista;
extern bool RunningWinServer2008;
extern bool RunningWin7;
extern bool RunningWinServer2008R2;

// Sets the flags of release R and clears every other.
void SetReleaseFlags(TWindowsRelease r);
void InitSystemInfo();

// The Windows temporary folder without a trailing backslash; empty when unknown.
String GetWindowsTempDir();
