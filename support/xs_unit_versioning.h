// The unit version registry: every support module's version record, held per code
// module in one registry per process. Other code modules of the process find the
// registry through a named mutex and a named block holding its address, both named
// after the process id.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/global_owner.h"
#include "base/string.h"

struct TUnitVersionInfo {
  const Char* RCSfile;
  const Char* Revision;
  const Char* Date;
  const Char* LogPath;
  const Char* Extra;
  const void* Data;
};
using PUnitVersionInfo = const TUnitVersionInfo*;

class TUnitVersion {
public:
  explicit TUnitVersion(PUnitVersionInfo info) : FInfo(info) {}
  PUnitVersionInfo Info() const { return FInfo; }

private:
  PUnitVersionInfo FInfo;  // not owned
};

// The records of one code module, in registration order.
class TUnitVersioningModule {
public:
  explicit TUnitVersioningModule(HMODULE instance) : FInstance(instance) {}
  HMODULE Instance() const { return FInstance; }
  int32_t Count() const { return int32_t(FItems.size()); }
  void AddUnitInfo(PUnitVersionInfo info);
  // By address; -1 when absent.
  int32_t IndexOfUnitInfo(PUnitVersionInfo info) const;
  // EListError when out of range.
  TUnitVersion& UnitAt(int32_t index) const;

private:
  HMODULE FInstance;
  std::vector<std::unique_ptr<TUnitVersion>> FItems;
};

// Loads version records of other modules; the programs register none.
class TCustomUnitVersioningProvider {
public:
  virtual ~TCustomUnitVersioningProvider() = default;
  virtual void LoadModuleUnitVersioningInfo(HMODULE instance) {}
  virtual void ReleaseModuleUnitVersioningInfo(HMODULE instance) {}
};

// A provider class as a value: it makes a new provider of its class.
using TUnitVersioningProviderClass = std::unique_ptr<TCustomUnitVersioningProvider> (*)();
template <typename T>
std::unique_ptr<TCustomUnitVersioningProvider> UnitVersioningProviderClass() {
  return std::make_unique<T>();
}

class TUnitVersioning {
public:
  TUnitVersioning();
  virtual ~TUnitVersioning();
  TUnitVersioning(const TUnitVersioning&) = delete;
  TUnitVersioning& operator=(const TUnitVersioning&) = delete;

  // Adds Info under Instance; a record is held at most once per module.
  virtual void AddUnit(HMODULE instance, PUnitVersionInfo info);
  // Removes the module's entry with its records and tells every provider.
  virtual void RemoveModule(HMODULE instance);
  // Both drop the entries of unloaded modules first.
  int32_t Count();
  int32_t ModuleCount();
  // EListError when out of range.
  TUnitVersioningModule& ModuleAt(int32_t index) const;
  void DropModule(const TUnitVersioningModule* module);
  void DropUnloadedModules();
  void RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> provider);
  // One provider per class: a class registered already adds none.
  void RegisterProvider(TUnitVersioningProviderClass providerClass);

  // True when Address holds a registry that this process made: the named block can
  // be created and written by any process that guesses its name.
  static bool IsRegistryOfThisProcess(uintptr_t address);

private:
  // Read by IsRegistryOfThisProcess.
  uint32_t FStampMagic;
  uint32_t FStampProcessId;
  uintptr_t FStampSelf;
  std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;
  std::vector<std::unique_ptr<TCustomUnitVersioningProvider>> FProviders;
};

class TXsMutex;

// The module state of the registry's users; constant-initialised. The program has one
// (UnitVersioningState); each further instance acts as another code module of the process.
struct TUnitVersioningState {
  constexpr TUnitVersioningState() = default;
  TUnitVersioningState(const TUnitVersioningState&) = delete;
  TUnitVersioningState& operator=(const TUnitVersioningState&) = delete;

  GlobalOwner<TXsMutex> SharedVersioningMutex;
  void* SharedVersioningCell = nullptr;  // the named block's view
  TUnitVersioning* SharedVersioning = nullptr;
  GlobalOwner<TUnitVersioning> OwnedVersioning;  // the registry this state made
  bool SharedVersioningOwned = false;
  bool SharedVersioningClosed = false;
};
extern TUnitVersioningState UnitVersioningState;

// How long a user waits for the registry's mutex before it treats the mutex as held by
// a stranger and closes the registry.
inline constexpr uint32_t kVersioningMutexTimeOut = 10000;

String VersioningMutexName();  // "MutexNPA_UnitVersioning_<pid>"
String VersioningCellName();   // "ShmNPA_UnitVersioning_<pid>"

// The process's registry, found, adopted or created; none after close, and none for
// good when the named objects cannot be used (taken by a stranger, refused by Windows)
// or a wait for the mutex runs out, at whichever call. A registry this state made is
// freed only when the block no longer leads to it.
TUnitVersioning* SharedUnitVersioning(TUnitVersioningState& state = UnitVersioningState,
                                      uint32_t mutexTimeOut = kVersioningMutexTimeOut);
void RegisterUnitVersionRecord(HMODULE instance, PUnitVersionInfo info,
                               TUnitVersioningState& state = UnitVersioningState);
void UnregisterModuleVersions(HMODULE instance,
                              TUnitVersioningState& state = UnitVersioningState);
// Clears the named block, frees the registry this state made and the mutex; errors
// are swallowed so that shut-down goes on. When the mutex is not had in time the block
// is left as it is and the registry stays alive.
void CloseSharedUnitVersioning(TUnitVersioningState& state = UnitVersioningState);
