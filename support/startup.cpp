#include "support/startup.h"

#include <windows.h>

#include <iterator>

#include "support/xs_ansi_strings.h"
#include "support/xs_base.h"
#include "support/xs_named_memory.h"
#include "support/xs_strings.h"
#include "support/xs_sys_info.h"
#include "support/xs_unicode.h"
#include "support/xs_unit_versioning.h"
#include "unzip/class_registry.h"
#include "unzip/zip_signatures.h"

namespace {
// The shell module's library handle; nothing in the programs loads it.
HMODULE XsShellLibrary = nullptr;

#define QZ_COMMON_PATH u"support\\common"
#define QZ_WINDOWS_PATH u"support\\windows"
#define QZ_VERSION_RECORD(file, path)                                                  \
  TUnitVersionInfo {                                                                   \
    u"$URL: svn://source.quorlix.example/support/trunk/" file " $", u"$Revision: 412 $", \
        u"$Date: 2026-11-30 14:05:12 +0000 (Mon, 30 Nov 2026) $", path, u"", nullptr  \
  }

constexpr TUnitVersionInfo kVersionRecords[] = {
    QZ_VERSION_RECORD(u"common/xs_resources.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_base.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"windows/xs_win32.cpp", QZ_WINDOWS_PATH),
    QZ_VERSION_RECORD(u"common/xs_logic.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_string_conversions.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_charsets.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_8087.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_unicode.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_wide_strings.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"windows/xs_registry.cpp", QZ_WINDOWS_PATH),
    QZ_VERSION_RECORD(u"common/xs_synch.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_math.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_streams.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_ansi_strings.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_strings.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"windows/xs_shell.cpp", QZ_WINDOWS_PATH),
    QZ_VERSION_RECORD(u"windows/xs_security.cpp", QZ_WINDOWS_PATH),
    QZ_VERSION_RECORD(u"common/xs_date_time.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_file_utils.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"windows/xs_console.cpp", QZ_WINDOWS_PATH),
    QZ_VERSION_RECORD(u"common/xs_sys_utils.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_unit_versioning.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_ini_files.cpp", QZ_COMMON_PATH),
    QZ_VERSION_RECORD(u"common/xs_sys_info.cpp", QZ_COMMON_PATH),
};

void StartAnsiStrings() {
  FillAnsiTypeTable();
  FillAnsiCaseTables();
}
void StartStrings() {
  FillWideTypeTable();
  FillWideCaseTables();
}
void StopShell() { FreeModuleHandle(XsShellLibrary); }
void StopUnitVersioning() { CloseSharedUnitVersioning(); }
void StartZipRecords() { SetZipSignatures(0, 0, 0); }

enum class Registration { Record, None, ClosesRegistry };

struct ModuleRow {
  const Char* name;
  const TUnitVersionInfo* record;
  void (*startUp)();
  void (*shutDown)();
  Registration registration;
};

// A module's start-up does its work, then registers its record; its shut-down
// unregisters, then does its work.
constexpr ModuleRow kModules[] = {
    {u"XsResources", &kVersionRecords[0], nullptr, nullptr, Registration::Record},
    {u"XsBase", &kVersionRecords[1], LoadAnsiDefaultChar, nullptr, Registration::Record},
    {u"XsWin32", &kVersionRecords[2], nullptr, nullptr, Registration::Record},
    {u"XsLogic", &kVersionRecords[3], nullptr, nullptr, Registration::Record},
    {u"XsStringConversions", &kVersionRecords[4], nullptr, nullptr, Registration::Record},
    {u"XsCharsets", &kVersionRecords[5], nullptr, nullptr, Registration::Record},
    {u"Xs8087", &kVersionRecords[6], nullptr, nullptr, Registration::Record},
    {u"XsUnicode", &kVersionRecords[7], InitUnicodeSupport, DoneUnicodeSupport,
     Registration::Record},
    {u"XsWideStrings", &kVersionRecords[8], nullptr, nullptr, Registration::Record},
    {u"XsRegistry", &kVersionRecords[9], nullptr, nullptr, Registration::Record},
    {u"XsSynch", &kVersionRecords[10], nullptr, nullptr, Registration::Record},
    {u"XsMath", &kVersionRecords[11], nullptr, nullptr, Registration::Record},
    {u"XsStreams", &kVersionRecords[12], nullptr, nullptr, Registration::Record},
    {u"XsAnsiStrings", &kVersionRecords[13], StartAnsiStrings, nullptr, Registration::Record},
    {u"XsStrings", &kVersionRecords[14], StartStrings, nullptr, Registration::Record},
    {u"XsShell", &kVersionRecords[15], nullptr, StopShell, Registration::Record},
    {u"XsSecurity", &kVersionRecords[16], nullptr, nullptr, Registration::Record},
    {u"XsDateTime", &kVersionRecords[17], nullptr, nullptr, Registration::Record},
    {u"XsFileUtils", &kVersionRecords[18], nullptr, nullptr, Registration::Record},
    {u"XsConsole", &kVersionRecords[19], nullptr, nullptr, Registration::Record},
    {u"XsSysUtils", &kVersionRecords[20], nullptr, CloseNamedMemoryList, Registration::Record},
    {u"XsUnitVersioning", &kVersionRecords[21], nullptr, StopUnitVersioning,
     Registration::ClosesRegistry},
    {u"XsIniFiles", &kVersionRecords[22], nullptr, nullptr, Registration::Record},
    {u"XsSysInfo", &kVersionRecords[23], InitSystemInfo, nullptr, Registration::Record},
    {u"XrZipMatch", nullptr, nullptr, nullptr, Registration::None},
    {u"XrZipCntn", nullptr, CreateClassRegistry, FreeClassRegistry, Registration::None},
    {u"XrZipObj", nullptr, StartZipRecords, nullptr, Registration::None},
};
constexpr int kModuleCount = int(std::size(kModules));
constexpr int kSysUtilsIndex = 20;
constexpr int kUnitVersioningIndex = 21;
static_assert(kModules[kSysUtilsIndex].shutDown == CloseNamedMemoryList);
static_assert(kModules[kUnitVersioningIndex].registration == Registration::ClosesRegistry);

HMODULE ProgramModule() { return GetModuleHandleW(nullptr); }
}  // namespace

int StartupModuleCount() { return kModuleCount; }

StringView StartupModuleName(int index) {
  return index >= 0 && index < kModuleCount ? StringView(kModules[index].name) : StringView();
}

TSupportModules::TSupportModules(TSupportTrace trace) : trace_(std::move(trace)) {
  // The version facts every module may look at, read first as the runtime does.
  LoadWin32Version();
  try {
    for (const ModuleRow& row : kModules) {
      if (row.startUp) row.startUp();
      if (row.registration != Registration::None)
        RegisterUnitVersionRecord(ProgramModule(), row.record);
      ++started_;
      if (trace_) trace_(row.name, TSupportStep::StartUp);
    }
  } catch (...) {
    // Undo what started, then let the caller see the error. The registry and the
    // named-memory list open with the first module but close with later ones; when
    // those never started, their closing runs here, once.
    const int reached = started_;
    Stop();
    if (reached <= kUnitVersioningIndex) CloseSharedUnitVersioning();
    if (reached <= kSysUtilsIndex) CloseNamedMemoryList();
    throw;
  }
}

TSupportModules::~TSupportModules() { Stop(); }

void TSupportModules::Stop() noexcept {
  while (started_ > 0) {
    const ModuleRow& row = kModules[--started_];
    if (row.registration == Registration::Record) UnregisterModuleVersions(ProgramModule());
    if (row.shutDown) row.shutDown();
    if (trace_) trace_(row.name, TSupportStep::ShutDown);
  }
}
