#include "support/xs_sys_info.h"

#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "base/win_string.h"
#include "support/xs_file_utils.h"

namespace {
constexpr uint16_t kIntel = PROCESSOR_ARCHITECTURE_INTEL;
constexpr uint16_t kAmd64 = PROCESSOR_ARCHITECTURE_AMD64;
constexpr uint8_t kWorkstation = VER_NT_WORKSTATION;
constexpr uint8_t kServer = VER_NT_SERVER;

struct ClassifyCase {
  const char* what;
  TReleaseFacts facts;
  TWindowsRelease expected;
};

TReleaseFacts Win9x(uint32_t minor, const Char* csd, uint32_t kernel = 0) {
  TReleaseFacts f;
  f.Platform = VER_PLATFORM_WIN32_WINDOWS;
  f.MajorVersion = 4;
  f.MinorVersion = minor;
  f.CSDVersion = csd;
  f.KernelProductVersion = kernel;
  return f;
}

TReleaseFacts NT(uint32_t major, uint32_t minor, uint8_t productType = kWorkstation,
                 uint16_t arch = kIntel, bool r2 = false, bool extendedRead = true) {
  TReleaseFacts f;
  f.Platform = VER_PLATFORM_WIN32_NT;
  f.MajorVersion = major;
  f.MinorVersion = minor;
  f.ProductType = productType;
  f.NativeArchitecture = arch;
  f.ServerR2 = r2;
  f.ExtendedVersionRead = extendedRead;
  return f;
}

TEST(XsReleaseClass, FollowsPlatformVersionAndProductFacts) {
  const ClassifyCase cases[] = {
      {"95", Win9x(0, u""), relWin95},
      {"95 OSR2 B", Win9x(0, u"B"), relWin95OSR2},
      {"95 OSR2 C blanks", Win9x(3, u" C "), relWin95OSR2},
      {"95 with A", Win9x(0, u"A"), relWin95},
      {"98", Win9x(10, u""), relWin98},
      {"98 SE blanks", Win9x(10, u" A "), relWin98SE},
      {"98 SE B", Win9x(10, u"B"), relWin98SE},
      {"98 lower-case a", Win9x(10, u"a"), relWin98},
      {"ME by kernel", Win9x(10, u"A", 0x4005A), relWinME},
      {"ME by minor", Win9x(90, u""), relWinME},
      {"9x minor 91", Win9x(91, u""), relUnrecognised},
      {"NT 3.1", NT(3, 1), relWinNT31},
      {"NT 3.5", NT(3, 5), relWinNT35},
      {"NT 3.51", NT(3, 51), relWinNT351},
      {"NT 3.0", NT(3, 0), relUnrecognised},
      {"NT 4", NT(4, 0, kServer), relWinNT4},
      {"2000", NT(5, 0), relWin2000},
      {"XP", NT(5, 1), relWinXP},
      {"XP x64", NT(5, 2, kWorkstation, kAmd64), relWinXP64},
      {"5.2 workstation on 32-bit", NT(5, 2, kWorkstation, kIntel), relWinServer2003},
      {"2003 x64 server", NT(5, 2, kServer, kAmd64), relWinServer2003},
      {"5.2 x64 version query failed", NT(5, 2, kWorkstation, kAmd64, false, false),
       relWinServer2003},
      {"2003 R2", NT(5, 2, kServer, kIntel, true), relWinServer2003R2},
      {"R2 wins over x64 workstation", NT(5, 2, kWorkstation, kAmd64, true),
       relWinServer2003R2},
      {"NT 5.3", NT(5, 3), relUnrecognised},
      {"Vista", NT(6, 0), relWinVista},
      {"2008", NT(6, 0, kServer), relWinServer2008},
      {"6.0 version query failed", NT(6, 0, kWorkstation, kIntel, false, false),
       relWinServer2008},
      {"7", NT(6, 1), relWin7},
      {"2008 R2", NT(6, 1, 3), relWinServer2008R2},
      {"8", NT(6, 2), relUnrecognised},
      {"10", NT(10, 0), relUnrecognised},
      {"Win32s", [] {
         TReleaseFacts f;
         f.Platform = VER_PLATFORM_WIN32s;
         f.MajorVersion = 3;
         f.MinorVersion = 1;
         return f;
       }(),
       relUnrecognised},
  };
  for (const ClassifyCase& c : cases) EXPECT_EQ(ClassifyRelease(c.facts), c.expected) << c.what;
}

struct FlagRow {
  const char* name;
  const bool* flag;
};
const FlagRow kFlags[] = {
    {"Win95", &RunningWin95},
    {"Win95OSR2", &RunningWin95OSR2},
    {"Win98", &RunningWin98},
    {"Win98SE", &RunningWin98SE},
    {"WinME", &RunningWinME},
    {"WinNT3", &RunningWinNT3},
    {"WinNT31", &RunningWinNT31},
    {"WinNT35", &RunningWinNT35},
    {"WinNT351", &RunningWinNT351},
    {"WinNT4", &RunningWinNT4},
    {"Win2000", &RunningWin2000},
    {"WinXP", &RunningWinXP},
    {"WinServer2003", &RunningWinServer2003},
    {"WinXP64", &RunningWinXP64},
    {"WinServer2003R2", &RunningWinServer2003R2},
    {"WinVista", &RunningWinVista},
    {"WinServer2008", &RunningWinServer2008},
    {"Win7", &RunningWin7},
    {"WinServer2008R2", &RunningWinServer2008R2},
};

std::string SetFlags() {
  std::string names;
  for (const FlagRow& f : kFlags)
    if (*f.flag) names += std::string(names.empty() ? "" : " ") + f.name;
  return names;
}

TEST(XsReleaseFlags, OneReleaseSetsItsOwnFlagsAndClearsTheRest) {
  const struct {
    TWindowsRelease release;
    const char* flags;
  } cases[] = {
      {relUnrecognised, ""},
      {relWin95, "Win95"},
      {relWin95OSR2, "Win95OSR2"},
      {relWin98, "Win98"},
      {relWin98SE, "Win98SE"},
      {relWinME, "WinME"},
      {relWinNT31, "WinNT3 WinNT31"},
      {relWinNT35, "WinNT3 WinNT35"},
      {relWinNT351, "WinNT3 WinNT35 WinNT351"},
      {relWinNT4, "WinNT4"},
      {relWin2000, "Win2000"},
      {relWinXP, "WinXP"},
      {relWinServer2003, "WinServer2003"},
      {relWinXP64, "WinXP64"},
      {relWinServer2003R2, "WinServer2003R2"},
      {relWinVista, "WinVista"},
      {relWinServer2008, "WinServer2008"},
      {relWin7, "Win7"},
      {relWinServer2008R2, "WinServer2008R2"},
  };
  SetReleaseFlags(relWinNT351);  // stale flags from an earlier call must go
  for (const auto& c : cases) {
    SetReleaseFlags(c.release);
    EXPECT_EQ(SetFlags(), c.flags) << int(c.release);
  }
}

// The version facts as the program read them, restored after each test.
class XsSystemInfo : public ::testing::Test {
protected:
  void SetUp() override {
    LoadWin32Version();
    platform_ = Win32Platform;
    major_ = Win32MajorVersion;
    minor_ = Win32MinorVersion;
    std::memcpy(csd_, Win32CSDVersion, sizeof csd_);
  }
  void TearDown() override {
    Win32Platform = platform_;
    Win32MajorVersion = major_;
    Win32MinorVersion = minor_;
    std::memcpy(Win32CSDVersion, csd_, sizeof csd_);
    SetReleaseFlags(relUnrecognised);
  }
  uint32_t platform_ = 0, major_ = 0, minor_ = 0;
  Char csd_[128] = {};
};

// Whatever release runs the test: the facts are the system's, and the flags those of the
// release they make.
TEST_F(XsSystemInfo, RecordsTheMachineAndTheRunningRelease) {
  ASSERT_EQ(Win32Platform, uint32_t(VER_PLATFORM_WIN32_NT));
  InitSystemInfo();
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  EXPECT_EQ(NumberOfProcessors, info.dwNumberOfProcessors);
  EXPECT_GE(NumberOfProcessors, 1u);
  EXPECT_EQ(SystemPageSize, 4096u);
  EXPECT_EQ(AllocationGranularity, 65536u);
  EXPECT_TRUE(IsNTPlatform);
  // NT never reads the kernel's version, though the file has one.
  EXPECT_EQ(KernelProductVersion, 0u);

  OSVERSIONINFOEXW ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex)));
  SYSTEM_INFO native{};
  GetNativeSystemInfo(&native);
  const TReleaseFacts facts = QueryReleaseFacts();
  EXPECT_EQ(facts.MajorVersion, ex.dwMajorVersion);
  EXPECT_EQ(facts.MinorVersion, ex.dwMinorVersion);
  EXPECT_EQ(facts.ProductType, ex.wProductType);
  EXPECT_TRUE(facts.ExtendedVersionRead);
  EXPECT_EQ(facts.NativeArchitecture, native.wProcessorArchitecture);
  EXPECT_EQ(facts.ServerR2, GetSystemMetrics(SM_SERVERR2) != 0);
  const TWindowsRelease running = ClassifyWindowsRelease();
  EXPECT_EQ(running, ClassifyRelease(NT(ex.dwMajorVersion, ex.dwMinorVersion, ex.wProductType,
                                        native.wProcessorArchitecture,
                                        GetSystemMetrics(SM_SERVERR2) != 0)));
  const std::string flags = SetFlags();
  SetReleaseFlags(running);
  EXPECT_EQ(flags, SetFlags());
}

TEST_F(XsSystemInfo, Windows9xReadsTheKernelVersion) {
  Win32Platform = VER_PLATFORM_WIN32_WINDOWS;
  Win32MajorVersion = 4;
  Win32MinorVersion = 10;
  std::memcpy(Win32CSDVersion, u" A ", 8);
  String kernel;
  QueryModuleFileName(GetModuleHandleW(L"kernel32.dll"), kernel);
  VS_FIXEDFILEINFO fixed{};
  ASSERT_TRUE(ReadFixedFileInfo(kernel, fixed));
  InitSystemInfo();
  EXPECT_FALSE(IsNTPlatform);
  EXPECT_EQ(KernelProductVersion, fixed.dwProductVersionMS);
  EXPECT_EQ(SetFlags(), "Win98SE");
}

TEST(XsNativeSystemInfo, UsesTheNativeVariantWhenTheKernelHasIt) {
  SYSTEM_INFO info{};
  EXPECT_TRUE(QueryNativeSystemInfo(info));
  EXPECT_GE(info.dwNumberOfProcessors, 1u);
}
}  // namespace
