#include "support/startup.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "support/xs_ansi_strings.h"
#include "support/xs_base.h"
#include "support/xs_named_memory.h"
#include "support/xs_strings.h"
#include "support/xs_sys_info.h"
#include "support/xs_unicode.h"
#include "support/xs_unit_versioning.h"
#include "unzip/class_registry.h"
#include "unzip/zip_signatures.h"

// The start-up works on the process's own module state: each test needs a process of
// its own, as ctest runs them.
namespace {
constexpr int kSupportModules = 24;

struct TraceEntry {
  String module;
  TSupportStep step;
  int records;  // in the registry after the step; -1 when there is none
};

int RecordsNow() {
  TUnitVersioning* r = UnitVersioningState.SharedVersioning;
  return r ? r->Count() : -1;
}

bool MutexExists() {
  UniqueHandle h(OpenMutexW(SYNCHRONIZE, FALSE, W(VersioningMutexName())));
  return bool(h);
}
bool CellExists() {
  UniqueHandle h(OpenFileMappingW(FILE_MAP_READ, FALSE, W(VersioningCellName())));
  return bool(h);
}

std::vector<String> ModulesInStartOrder() {
  std::vector<String> names;
  for (int i = 0; i < StartupModuleCount(); ++i) names.emplace_back(StartupModuleName(i));
  return names;
}

// The support library's modules, then the zip component's.
const std::vector<String> kStartOrder = {
    u"XsResources", u"XsBase",       u"XsWin32",       u"XsLogic",       u"XsStringConversions",
    u"XsCharsets",  u"Xs8087",       u"XsUnicode",     u"XsWideStrings", u"XsRegistry",
    u"XsSynch",     u"XsMath",       u"XsStreams",     u"XsAnsiStrings", u"XsStrings",
    u"XsShell",     u"XsSecurity",   u"XsDateTime",    u"XsFileUtils",   u"XsConsole",
    u"XsSysUtils",  u"XsUnitVersioning", u"XsIniFiles", u"XsSysInfo",
    u"XrZipMatch",  u"XrZipCntn",    u"XrZipObj",
};

// The system facts were read and the release flags are those of the running release,
// whichever it is.
void ExpectSystemInfoRead() {
  EXPECT_GE(NumberOfProcessors, 1u);
  EXPECT_EQ(AllocationGranularity, 65536u);
  const bool* const flags[] = {
      &RunningWin95,      &RunningWin95OSR2,   &RunningWin98,           &RunningWin98SE,
      &RunningWinME,      &RunningWinNT3,      &RunningWinNT31,         &RunningWinNT35,
      &RunningWinNT351,   &RunningWinNT4,      &RunningWin2000,         &RunningWinXP,
      &RunningWinServer2003, &RunningWinXP64,  &RunningWinServer2003R2, &RunningWinVista,
      &RunningWinServer2008, &RunningWin7,     &RunningWinServer2008R2,
  };
  std::vector<bool> set;
  for (const bool* f : flags) set.push_back(*f);
  SetReleaseFlags(ClassifyWindowsRelease());
  for (size_t i = 0; i < std::size(flags); ++i) EXPECT_EQ(set[i], *flags[i]) << "flag " << i;
}

TEST(XsSupportStartup, RunsEveryModuleOnceInOrderAndUndoesItInReverse) {
  const std::vector<String>& order = kStartOrder;
  ASSERT_EQ(ModulesInStartOrder(), order);
  ASSERT_EQ(order.size(), size_t(kSupportModules + 3));
  SetZipSignatures(1, 2, 3);

  std::vector<TraceEntry> trace;
  TSupportModules modules([&](StringView module, TSupportStep step) {
    trace.push_back({String(module), step, RecordsNow()});
  });

  // Start-up: each module once, in order; each support module adds its record.
  ASSERT_EQ(trace.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(trace[i].module, order[i]);
    EXPECT_EQ(trace[i].step, TSupportStep::StartUp);
    EXPECT_EQ(trace[i].records, int(std::min(i + 1, size_t(kSupportModules))))
        << ToUtf8(order[i]);
  }
  EXPECT_TRUE(MutexExists());
  EXPECT_TRUE(CellExists());
  TUnitVersioning* registry = SharedUnitVersioning();
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(registry->ModuleCount(), 1);
  EXPECT_EQ(registry->Count(), kSupportModules);
  const TUnitVersioningModule& program = registry->ModuleAt(0);
  EXPECT_EQ(program.Instance(), GetModuleHandleW(nullptr));
  for (int i = 0; i < kSupportModules; ++i) {
    const TUnitVersionInfo* info = program.UnitAt(i).Info();
    const String url = info->RCSfile;
    EXPECT_EQ(url.rfind(u"$URL: ", 0), 0u) << ToUtf8(url);
    EXPECT_EQ(url.substr(url.size() - 2), u" $");
    EXPECT_EQ(String(info->Revision).rfind(u"$Revision: ", 0), 0u);
    EXPECT_EQ(String(info->Date).rfind(u"$Date: ", 0), 0u);
    EXPECT_EQ(String(info->Extra), u"");
  }
  EXPECT_NE(String(program.UnitAt(0).Info()->RCSfile).find(u"xs_resources"), String::npos);
  EXPECT_NE(String(program.UnitAt(23).Info()->RCSfile).find(u"xs_sys_info"), String::npos);

  // What the modules' start-up work leaves.
  EXPECT_EQ(AnsiDefaultChar, '?');
  EXPECT_TRUE(AnsiCaseTablesReady);
  EXPECT_TRUE(WideCaseTablesReady);
  EXPECT_EQ(WideUpperTable[u'q'], u'Q');
  EXPECT_NE(UnicodeDataLock, nullptr);
  EXPECT_EQ(LocaleCompareText, &CompareTextByWide);
  ExpectSystemInfoRead();
  EXPECT_EQ(CentralSig, kStandardCentralSig);
  EXPECT_EQ(LocalSig, kStandardLocalSig);
  EXPECT_EQ(EndCentralSig, kStandardEndCentralSig);
  ASSERT_NE(ClassRegistry(), nullptr);
  EXPECT_EQ(ClassRegistry()->Count(), 0);

  trace.clear();
  modules.Stop();
  // Shut-down: each module once, in reverse. The last support module to start takes
  // the whole program entry out; the registry closes with its own module.
  ASSERT_EQ(trace.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(trace[i].module, order[order.size() - 1 - i]);
    EXPECT_EQ(trace[i].step, TSupportStep::ShutDown);
  }
  const auto recordsAfter = [&](const Char* module) {
    for (const TraceEntry& e : trace)
      if (e.module == module) return e.records;
    return -99;
  };
  EXPECT_EQ(recordsAfter(u"XrZipMatch"), kSupportModules);
  EXPECT_EQ(recordsAfter(u"XsSysInfo"), 0);
  EXPECT_EQ(recordsAfter(u"XsIniFiles"), 0);
  EXPECT_EQ(recordsAfter(u"XsUnitVersioning"), -1);
  EXPECT_EQ(recordsAfter(u"XsResources"), -1);

  EXPECT_FALSE(MutexExists());
  EXPECT_FALSE(CellExists());
  EXPECT_EQ(SharedUnitVersioning(), nullptr);
  EXPECT_TRUE(NamedMemoryListClosed);
  EXPECT_EQ(NamedMemoryListLock, nullptr);
  EXPECT_EQ(NamedMemoryList, nullptr);
  EXPECT_EQ(UnicodeDataLock, nullptr);
  EXPECT_EQ(ClassRegistry(), nullptr);

  modules.Stop();
  EXPECT_TRUE(trace.size() == order.size()) << "a module ran twice";
}

// Another process can create the names first; the program starts all the same.
TEST(XsSupportStartup, StartsWhenTheRegistryMutexNameIsTaken) {
  UniqueHandle squat(CreateEventW(nullptr, TRUE, FALSE, W(VersioningMutexName())));
  ASSERT_TRUE(squat);
  int started = 0;
  {
    TSupportModules modules([&](StringView, TSupportStep step) {
      if (step == TSupportStep::StartUp) ++started;
    });
    EXPECT_EQ(started, StartupModuleCount());
    EXPECT_EQ(SharedUnitVersioning(), nullptr);
    EXPECT_FALSE(CellExists());
    EXPECT_TRUE(WideCaseTablesReady);
    ExpectSystemInfoRead();
  }
  EXPECT_EQ(UnicodeDataLock, nullptr);
}

TEST(XsSupportStartup, AFailedStartUndoesTheModulesStartedBeforeIt) {
  std::vector<String> stopped;
  EXPECT_THROW(TSupportModules modules([&](StringView module, TSupportStep step) {
                 if (step == TSupportStep::ShutDown) stopped.emplace_back(module);
                 else if (module == u"XsStrings") throw std::runtime_error("refused");
               }),
               std::runtime_error);
  // XsStrings, whose work was done, and those before it, in reverse.
  const std::vector<String>& order = kStartOrder;
  const std::vector<String> expected(std::make_reverse_iterator(order.begin() + 15),
                                     order.rend());
  EXPECT_EQ(stopped, expected);
  // The registry opened by the first module is closed although its own module never
  // started.
  EXPECT_FALSE(MutexExists());
  EXPECT_FALSE(CellExists());
  EXPECT_EQ(SharedUnitVersioning(), nullptr);
  EXPECT_TRUE(NamedMemoryListClosed);
  EXPECT_EQ(UnicodeDataLock, nullptr);
}
}  // namespace
