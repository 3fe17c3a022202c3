#include "support/xs_unit_versioning.h"

#include <cstring>
#include <typeinfo>
#include <utility>

#include "base/exception.h"
#include "base/format.h"
#include "base/messages.h"
#include "support/xs_errors.h"
#include "support/xs_named_memory.h"
#include "support/xs_synch.h"

namespace {
constexpr uint32_t kRegistryMagic = 0x51585652;  // "RVXQ"
constexpr uint32_t kCellSize = sizeof(TUnitVersioning*);

[[noreturn]] void RaiseIndexError(int32_t index) {
  throw EListError(Format(base_text::kListIndexError, {index}));
}
}  // namespace

void TUnitVersioningModule::AddUnitInfo(PUnitVersionInfo info) {
  FItems.push_back(std::make_unique<TUnitVersion>(info));
}

int32_t TUnitVersioningModule::IndexOfUnitInfo(PUnitVersionInfo info) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->Info() == info) return int32_t(i);
  return -1;
}

TUnitVersion& TUnitVersioningModule::UnitAt(int32_t index) const {
  if (index < 0 || size_t(index) >= FItems.size()) RaiseIndexError(index);
  return *FItems[size_t(index)];
}

TUnitVersioning::TUnitVersioning()
    : FStampMagic(kRegistryMagic),
      FStampProcessId(GetCurrentProcessId()),
      FStampSelf(reinterpret_cast<uintptr_t>(this)) {}

TUnitVersioning::~TUnitVersioning() {
  FStampMagic = 0;
  FProviders.clear();
  FModules.clear();
}

void TUnitVersioning::AddUnit(HMODULE instance, PUnitVersionInfo info) {
  for (auto& module : FModules) {
    if (module->Instance() == instance) {
      if (module->IndexOfUnitInfo(info) == -1) module->AddUnitInfo(info);
      return;
    }
  }
  auto module = std::make_unique<TUnitVersioningModule>(instance);
  module->AddUnitInfo(info);
  FModules.push_back(std::move(module));
}

void TUnitVersioning::RemoveModule(HMODULE instance) {
  for (size_t i = FModules.size(); i-- > 0;) {
    if (FModules[i]->Instance() == instance) {
      FModules.erase(FModules.begin() + ptrdiff_t(i));
      break;
    }
  }
  for (auto& provider : FProviders) provider->ReleaseModuleUnitVersioningInfo(instance);
}

int32_t TUnitVersioning::Count() {
  DropUnloadedModules();
  int32_t count = 0;
  for (const auto& module : FModules) count += module->Count();
  return count;
}

int32_t TUnitVersioning::ModuleCount() {
  DropUnloadedModules();
  return int32_t(FModules.size());
}

TUnitVersioningModule& TUnitVersioning::ModuleAt(int32_t index) const {
  if (index < 0 || size_t(index) >= FModules.size()) RaiseIndexError(index);
  return *FModules[size_t(index)];
}

void TUnitVersioning::DropModule(const TUnitVersioningModule* module) {
  for (size_t i = 0; i < FModules.size(); ++i) {
    if (FModules[i].get() == module) {
      FModules.erase(FModules.begin() + ptrdiff_t(i));
      return;
    }
  }
}

void TUnitVersioning::DropUnloadedModules() {
  wchar_t name[1024];
  for (size_t i = FModules.size(); i-- > 0;)
    if (GetModuleFileNameW(FModules[i]->Instance(), name, 1024) == 0)
      DropModule(FModules[i].get());
}

void TUnitVersioning::RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> provider) {
  if (provider) FProviders.push_back(std::move(provider));
}

void TUnitVersioning::RegisterProvider(TUnitVersioningProviderClass providerClass) {
  if (!providerClass) return;
  std::unique_ptr<TCustomUnitVersioningProvider> provider = providerClass();
  if (!provider) return;
  for (const auto& registered : FProviders)
    if (typeid(*registered) == typeid(*provider)) return;
  FProviders.push_back(std::move(provider));
}

namespace {
bool IsReadable(uintptr_t address) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == 0) return false;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                              PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                              PAGE_EXECUTE_WRITECOPY;
  return info.State == MEM_COMMIT && (info.Protect & kReadable) != 0 &&
         (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}
}  // namespace

bool TUnitVersioning::IsRegistryOfThisProcess(uintptr_t address) {
  if (address == 0 || address % alignof(TUnitVersioning) != 0) return false;
  if (address > UINTPTR_MAX - sizeof(TUnitVersioning)) return false;
  if (!IsReadable(address) || !IsReadable(address + sizeof(TUnitVersioning) - 1)) return false;
  // The memory is readable; only the stamp, plain data, is read through the candidate.
  const auto* candidate = reinterpret_cast<const TUnitVersioning*>(address);
  return candidate->FStampMagic == kRegistryMagic &&
         candidate->FStampProcessId == GetCurrentProcessId() &&
         candidate->FStampSelf == address;
}

constinit TUnitVersioningState UnitVersioningState;

namespace {
String WithProcessId(const Char* prefix) {
  return String(prefix) + Format(u"%u", {unsigned(GetCurrentProcessId())});
}

// Holds the mutex for a scope when the wait got it (an abandoned mutex is ours too).
class MutexHold {
public:
  MutexHold(TXsMutex& mutex, uint32_t timeOut) : mutex_(mutex) {
    const TXsWaitResult r = mutex.WaitFor(timeOut);
    held_ = r == TXsWaitResult::wrSignaled || r == TXsWaitResult::wrAbandoned;
  }
  ~MutexHold() {
    if (held_) mutex_.Release();
  }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;
  bool Held() const { return held_; }

private:
  TXsMutex& mutex_;
  bool held_ = false;
};

uintptr_t ReadCell(const void* cell) {
  uintptr_t value = 0;
  std::memcpy(&value, cell, sizeof value);
  return value;
}

void WriteCell(void* cell, uintptr_t value) { std::memcpy(cell, &value, sizeof value); }

// The registry this state made is freed only once no module can reach it: the block,
// seen under the mutex, no longer holds its address. Otherwise another module may still
// follow it, and it is left alive for the rest of the run.
void ReleaseOwnedRegistry(TUnitVersioningState& s, bool unreachable) {
  std::unique_ptr<TUnitVersioning> owned = s.OwnedVersioning.release();
  s.SharedVersioningOwned = false;
  if (!unreachable) static_cast<void>(owned.release());  // deliberately kept
}

void FreeMutex(TUnitVersioningState& s) {
  s.SharedVersioningMutex.reset();
}

// No registry for this state from now on: the named objects cannot be trusted or used,
// or the mutex was not had in time (waiting again at every later call would hold up the
// start and the end of the program). unreachable: as ReleaseOwnedRegistry.
void Abandon(TUnitVersioningState& s, bool unreachable) {
  s.SharedVersioningClosed = true;
  if (s.SharedVersioningCell) CloseNamedMemory(s.SharedVersioningCell);
  s.SharedVersioning = nullptr;
  ReleaseOwnedRegistry(s, unreachable);
  FreeMutex(s);
}

enum class TAttach { Attached, TimedOut, Untrusted };

// Finds the registry under the mutex, or creates and publishes it. Untrusted when the
// block holds an address this process did not store.
TAttach Attach(TUnitVersioningState& s, uint32_t timeOut) {
  MutexHold hold(*s.SharedVersioningMutex, timeOut);
  if (!hold.Held()) return TAttach::TimedOut;
  if (!s.SharedVersioningCell)
    OpenNamedMemory(s.SharedVersioningCell, VersioningCellName(), kCellSize,
                    FILE_MAP_ALL_ACCESS);
  const uintptr_t stored = ReadCell(s.SharedVersioningCell);
  if (stored == 0) {
    if (!s.OwnedVersioning) s.OwnedVersioning = std::make_unique<TUnitVersioning>();
    WriteCell(s.SharedVersioningCell, reinterpret_cast<uintptr_t>(s.OwnedVersioning.get()));
    s.SharedVersioning = s.OwnedVersioning.get();
  } else if (TUnitVersioning::IsRegistryOfThisProcess(stored)) {
    s.SharedVersioning = reinterpret_cast<TUnitVersioning*>(stored);
  } else {
    return TAttach::Untrusted;
  }
  s.SharedVersioningOwned = s.OwnedVersioning != nullptr;
  return TAttach::Attached;
}

// Follows a registry that another module of the process replaced or cleared. False when
// the mutex was not had in time.
bool Follow(TUnitVersioningState& s, uint32_t timeOut) {
  MutexHold hold(*s.SharedVersioningMutex, timeOut);
  if (!hold.Held()) return false;
  const uintptr_t stored = ReadCell(s.SharedVersioningCell);
  s.SharedVersioning = TUnitVersioning::IsRegistryOfThisProcess(stored)
                           ? reinterpret_cast<TUnitVersioning*>(stored)
                           : nullptr;
  return true;
}
}  // namespace

String VersioningMutexName() { return WithProcessId(u"MutexNPA_UnitVersioning_"); }
String VersioningCellName() { return WithProcessId(u"ShmNPA_UnitVersioning_"); }

TUnitVersioning* SharedUnitVersioning(TUnitVersioningState& s, uint32_t mutexTimeOut) {
  if (s.SharedVersioningClosed) return nullptr;
  try {
    if (!s.SharedVersioningMutex)
      s.SharedVersioningMutex = std::make_unique<TXsMutex>(nullptr, false, VersioningMutexName());
    if (!s.SharedVersioning) {
      const TAttach attached = Attach(s, mutexTimeOut);
      if (attached != TAttach::Attached) {
        // Seen untrusted under the mutex, the block cannot lead anyone to our registry.
        Abandon(s, attached == TAttach::Untrusted);
        return nullptr;
      }
    } else if (s.SharedVersioningCell && !Follow(s, mutexTimeOut)) {
      Abandon(s, false);
      return nullptr;
    }
  } catch (const EXsError&) {  // the mutex or the block was refused
    Abandon(s, false);
    return nullptr;
  } catch (const EOSError&) {
    Abandon(s, false);
    return nullptr;
  }
  return s.SharedVersioning;
}

void RegisterUnitVersionRecord(HMODULE instance, PUnitVersionInfo info, TUnitVersioningState& s) {
  if (TUnitVersioning* r = SharedUnitVersioning(s)) r->AddUnit(instance, info);
}

void UnregisterModuleVersions(HMODULE instance, TUnitVersioningState& s) {
  if (TUnitVersioning* r = SharedUnitVersioning(s)) r->RemoveModule(instance);
}

void CloseSharedUnitVersioning(TUnitVersioningState& s) {
  s.SharedVersioningClosed = true;
  // Without a block nothing was published; a failed wait leaves the block as it is.
  bool unreachable = !s.SharedVersioningCell;
  try {
    if (s.SharedVersioningCell) {
      MutexHold hold(*s.SharedVersioningMutex, kVersioningMutexTimeOut);
      if (hold.Held()) {
        WriteCell(s.SharedVersioningCell, 0);
        unreachable = true;
      }
      CloseNamedMemory(s.SharedVersioningCell);
    }
  } catch (const Exception&) {
    // Shut-down goes on whatever failed here.
  }
  s.SharedVersioning = nullptr;
  ReleaseOwnedRegistry(s, unreachable);
  FreeMutex(s);
}
