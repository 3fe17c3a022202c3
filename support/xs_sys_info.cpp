#include "support/xs_sys_info.h"

#include <cstring>
#include <iterator>

#include "base/text.h"
#include "base/win_string.h"
#include "support/xs_file_utils.h"

uint32_t Win32Platform = 0;
uint32_t Win32MajorVersion = 0;
uint32_t Win32MinorVersion = 0;
Char Win32CSDVersion[128] = {};

void LoadWin32Version() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return;
  Win32Platform = info.dwPlatformId;
  Win32MajorVersion = info.dwMajorVersion;
  Win32MinorVersion = info.dwMinorVersion;
  static_assert(sizeof Win32CSDVersion == sizeof info.szCSDVersion);
  std::memcpy(Win32CSDVersion, info.szCSDVersion, sizeof Win32CSDVersion);
  Win32CSDVersion[127] = 0;
}

namespace {
constexpr uint32_t kWinMeKernelVersion = 0x4005A;  // 4.90

TWindowsRelease ClassifyWindows9x(const TReleaseFacts& f, const String& csd) {
  const uint32_t minor = f.MinorVersion;
  if (minor < 10) return csd == u"B" || csd == u"C" ? relWin95OSR2 : relWin95;
  if (minor < 90) {
    if (f.KernelProductVersion == kWinMeKernelVersion) return relWinME;
    return csd == u"A" || csd == u"B" ? relWin98SE : relWin98;
  }
  if (minor == 90) return relWinME;
  return relUnrecognised;
}

bool IsWorkstation(const TReleaseFacts& f) {
  return f.ExtendedVersionRead && f.ProductType == VER_NT_WORKSTATION;
}

TWindowsRelease ClassifyWindowsNT(const TReleaseFacts& f) {
  const uint32_t minor = f.MinorVersion;
  switch (f.MajorVersion) {
    case 3:
      if (minor == 1) return relWinNT31;
      if (minor == 5) return relWinNT35;
      if (minor == 51) return relWinNT351;
      return relUnrecognised;
    case 4:
      return relWinNT4;
    case 5:
      if (minor == 0) return relWin2000;
      if (minor == 1) return relWinXP;
      if (minor == 2) {
        if (f.ServerR2) return relWinServer2003R2;
        if (f.NativeArchitecture != PROCESSOR_ARCHITECTURE_INTEL && IsWorkstation(f))
          return relWinXP64;
        return relWinServer2003;
      }
      return relUnrecognised;
    case 6:
      if (minor == 0) return IsWorkstation(f) ? relWinVista : relWinServer2008;
      if (minor == 1) return IsWorkstation(f) ? relWin7 : relWinServer2008R2;
      return relUnrecognised;
    default:
      return relUnrecognised;
  }
}
}  // namespace

TWindowsRelease ClassifyRelease(const TReleaseFacts& facts) {
  switch (facts.Platform) {
    case VER_PLATFORM_WIN32_WINDOWS:
      return ClassifyWindows9x(facts, Trim(facts.CSDVersion));
    case VER_PLATFORM_WIN32_NT:
      return ClassifyWindowsNT(facts);
    default:
      return relUnrecognised;
  }
}

bool QueryNativeSystemInfo(SYSTEM_INFO& info) {
  using NativeInfoProc = void(WINAPI*)(SYSTEM_INFO*);
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    if (FARPROC proc = GetProcAddress(kernel, "GetNativeSystemInfo")) {
      reinterpret_cast<NativeInfoProc>(reinterpret_cast<void*>(proc))(&info);
      return true;
    }
  }
  GetSystemInfo(&info);
  return false;
}

TReleaseFacts QueryReleaseFacts() {
  TReleaseFacts f;
  f.Platform = Win32Platform;
  f.MajorVersion = Win32MajorVersion;
  f.MinorVersion = Win32MinorVersion;
  f.CSDVersion = FromW(W(Win32CSDVersion), std::size(Win32CSDVersion));
  f.KernelProductVersion = KernelProductVersion;
  f.ServerR2 = GetSystemMetrics(SM_SERVERR2) != 0;
  SYSTEM_INFO native{};
  native.wProcessorArchitecture = 0;
  QueryNativeSystemInfo(native);
  f.NativeArchitecture = native.wProcessorArchitecture;
  OSVERSIONINFOEXW ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  static_assert(sizeof(OSVERSIONINFOEXW) == 284);
  f.ExtendedVersionRead = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex)) != 0;
  f.ProductType = f.ExtendedVersionRead ? ex.wProductType : 0;
  return f;
}

TWindowsRelease ClassifyWindowsRelease() { return ClassifyRelease(QueryReleaseFacts()); }

bool IsPreWin2000Platform() {
  return Win32Platform == VER_PLATFORM_WIN32_WINDOWS ||
         (Win32Platform == VER_PLATFORM_WIN32_NT && Win32MajorVersion < 5);
}

uint32_t NumberOfProcessors = 0;
uint32_t AllocationGranularity = 0;
uint32_t SystemPageSize = 0;
bool IsNTPlatform = false;
uint32_t KernelProductVersion = 0;

bool RunningWin95 = false;
bool RunningWin95OSR2 = false;
bool RunningWin98 = false;
bool RunningWin98SE = false;
bool RunningWinME = false;
bool RunningWinNT3 = false;
bool RunningWinNT31 = false;
bool RunningWinNT35 = false;
bool RunningWinNT351 = false;
bool RunningWinNT4 = false;
bool RunningWin2000 = false;
bool RunningWinXP = false;
bool RunningWinServer2003 = false;
bool RunningWinXP64 = false;
bool RunningWinServer2003R2 = false;
bool RunningWinVista = false;
bool RunningWinServer2008 = false;
bool RunningWin7 = false;
bool RunningWinServer2008R2 = false;

namespace {
struct ReleaseFlagRow {
  TWindowsRelease release;
  bool* flags[3];
};
// The flags each release sets; NT 3.51 counts as NT 3.5 too.
constexpr ReleaseFlagRow kReleaseFlags[] = {
    {relWin95, {&RunningWin95}},
    {relWin95OSR2, {&RunningWin95OSR2}},
    {relWin98, {&RunningWin98}},
    {relWin98SE, {&RunningWin98SE}},
    {relWinME, {&RunningWinME}},
    {relWinNT31, {&RunningWinNT3, &RunningWinNT31}},
    {relWinNT35, {&RunningWinNT3, &RunningWinNT35}},
    {relWinNT351, {&RunningWinNT3, &RunningWinNT35, &RunningWinNT351}},
    {relWinNT4, {&RunningWinNT4}},
    {relWin2000, {&RunningWin2000}},
    {relWinXP, {&RunningWinXP}},
    {relWinServer2003, {&RunningWinServer2003}},
    {relWinXP64, {&RunningWinXP64}},
    {relWinServer2003R2, {&RunningWinServer2003R2}},
    {relWinVista, {&RunningWinVista}},
    {relWinServer2008, {&RunningWinServer2008}},
    {relWin7, {&RunningWin7}},
    {relWinServer2008R2, {&RunningWinServer2008R2}},
};
constexpr bool* kAllFlags[] = {
    &RunningWin95,      &RunningWin95OSR2,     &RunningWin98,           &RunningWin98SE,
    &RunningWinME,      &RunningWinNT3,        &RunningWinNT31,         &RunningWinNT35,
    &RunningWinNT351,   &RunningWinNT4,        &RunningWin2000,         &RunningWinXP,
    &RunningWinServer2003, &RunningWinXP64,    &RunningWinServer2003R2, &RunningWinVista,
    &RunningWinServer2008, &RunningWin7,       &RunningWinServer2008R2,
};
}  // namespace

void SetReleaseFlags(TWindowsRelease r) {
  for (bool* flag : kAllFlags) *flag = false;
  for (const ReleaseFlagRow& row : kReleaseFlags)
    if (row.release == r)
      for (bool* flag : row.flags)
        if (flag) *flag = true;
}

void InitSystemInfo() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  NumberOfProcessors = info.dwNumberOfProcessors;
  AllocationGranularity = info.dwAllocationGranularity;
  SystemPageSize = info.dwPageSize;
  IsNTPlatform = Win32Platform == VER_PLATFORM_WIN32_NT;
  String kernelPath;
  // A null handle would name the program's own file.
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) QueryModuleFileName(kernel, kernelPath);
  VS_FIXEDFILEINFO fixed{};
  KernelProductVersion = !IsNTPlatform && !kernelPath.empty() &&
                                 ReadFixedFileInfo(kernelPath, fixed)
                             ? fixed.dwProductVersionMS
                             : 0;
  SetReleaseFlags(ClassifyWindowsRelease());
}

String GetWindowsTempDir() {
  String path;
  QueryTempPath(path);
  return StripTrailingBackslash(path);
}
