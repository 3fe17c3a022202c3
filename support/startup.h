// Start-up and shut-down of the support modules and the zip modules, in their fixed
// order. The program's entry holds one TSupportModules for its whole run: created
// before the application starts, destroyed (or stopped) after its windows are gone.
// The modules' state is the process's own: one start per process, and what shut-down
// closes stays closed.
#pragma once

#include <functional>

#include "base/string.h"

enum class TSupportStep { StartUp, ShutDown };
// Called after each module's step has run; it must not raise during shut-down.
using TSupportTrace = std::function<void(StringView module, TSupportStep step)>;

class TSupportModules {
public:
  // Runs every start-up in order. When one raises, the modules started before it are
  // shut down in reverse order and the error goes on to the caller.
  explicit TSupportModules(TSupportTrace trace = nullptr);
  ~TSupportModules();
  TSupportModules(const TSupportModules&) = delete;
  TSupportModules& operator=(const TSupportModules&) = delete;
  // Runs every shut-down in reverse order; later calls do nothing.
  void Stop() noexcept;

private:
  TSupportTrace trace_;
  int started_ = 0;
};

// The modules in start order (the support modules first, then the zip modules).
int StartupModuleCount();
StringView StartupModuleName(int index);
