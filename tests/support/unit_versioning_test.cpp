#include "support/xs_unit_versioning.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "support/xs_named_memory.h"

namespace {
constexpr TUnitVersionInfo kFirst = {u"$URL: a $", u"$Revision: 1 $", u"$Date: x $", u"p", u"",
                                     nullptr};
constexpr TUnitVersionInfo kSecond = {u"$URL: b $", u"$Revision: 2 $", u"$Date: y $", u"p", u"",
                                      nullptr};

HMODULE Program() { return GetModuleHandleW(nullptr); }
HMODULE Kernel() { return GetModuleHandleW(L"kernel32.dll"); }
// A handle value that names no loaded module.
HMODULE Unloaded() { return reinterpret_cast<HMODULE>(0x00010000); }

class RecordingProvider : public TCustomUnitVersioningProvider {
public:
  explicit RecordingProvider(std::vector<HMODULE>& released) : released_(released) {}
  void ReleaseModuleUnitVersioningInfo(HMODULE instance) override {
    released_.push_back(instance);
  }

private:
  std::vector<HMODULE>& released_;
};

TEST(XsUnitVersioning, HoldsEachRecordOncePerModuleInRegistrationOrder) {
  TUnitVersioning registry;
  registry.AddUnit(Program(), &kFirst);
  registry.AddUnit(Program(), &kSecond);
  registry.AddUnit(Program(), &kFirst);
  registry.AddUnit(Kernel(), &kFirst);
  EXPECT_EQ(registry.ModuleCount(), 2);
  EXPECT_EQ(registry.Count(), 3);
  const TUnitVersioningModule& program = registry.ModuleAt(0);
  EXPECT_EQ(program.Instance(), Program());
  EXPECT_EQ(program.UnitAt(0).Info(), &kFirst);
  EXPECT_EQ(program.UnitAt(1).Info(), &kSecond);
  EXPECT_EQ(program.IndexOfUnitInfo(&kSecond), 1);
  EXPECT_EQ(registry.ModuleAt(1).IndexOfUnitInfo(&kSecond), -1);
  EXPECT_THROW(program.UnitAt(2), EListError);
  EXPECT_THROW(registry.ModuleAt(-1), EListError);
  EXPECT_THROW(registry.ModuleAt(2), EListError);
}

TEST(XsUnitVersioning, RemovingAModuleTellsEveryProviderEvenWithoutAnEntry) {
  std::vector<HMODULE> released;
  TUnitVersioning registry;
  registry.RegisterProvider(std::make_unique<RecordingProvider>(released));
  registry.RegisterProvider(std::make_unique<RecordingProvider>(released));
  registry.AddUnit(Program(), &kFirst);
  registry.AddUnit(Kernel(), &kSecond);

  registry.RemoveModule(Kernel());
  EXPECT_EQ(registry.ModuleCount(), 1);
  registry.RemoveModule(Kernel());
  EXPECT_EQ(registry.ModuleCount(), 1);
  EXPECT_EQ(released, (std::vector<HMODULE>{Kernel(), Kernel(), Kernel(), Kernel()}));
  EXPECT_EQ(registry.ModuleAt(0).Instance(), Program());
}

// Providers made from their class: each class is registered once.
std::vector<char>& ReleasedBy() {
  static std::vector<char> released;
  return released;
}
template <char Tag>
class TaggedProvider : public TCustomUnitVersioningProvider {
public:
  void ReleaseModuleUnitVersioningInfo(HMODULE) override { ReleasedBy().push_back(Tag); }
};

TEST(XsUnitVersioning, AProviderClassIsRegisteredOnce) {
  ReleasedBy().clear();
  TUnitVersioning registry;
  const TUnitVersioningProviderClass first = UnitVersioningProviderClass<TaggedProvider<'a'>>;
  registry.RegisterProvider(first);
  registry.RegisterProvider(UnitVersioningProviderClass<TaggedProvider<'b'>>);
  registry.RegisterProvider(first);
  registry.RegisterProvider(TUnitVersioningProviderClass{});
  registry.RemoveModule(Kernel());
  EXPECT_EQ(ReleasedBy(), (std::vector<char>{'a', 'b'}));
}

TEST(XsUnitVersioning, EntriesOfUnloadedModulesDropOutOfTheCounts) {
  TUnitVersioning registry;
  registry.AddUnit(Unloaded(), &kFirst);
  registry.AddUnit(Program(), &kFirst);
  registry.AddUnit(Unloaded(), &kSecond);
  EXPECT_EQ(registry.Count(), 1);
  EXPECT_EQ(registry.ModuleCount(), 1);
  EXPECT_EQ(registry.ModuleAt(0).Instance(), Program());
}

TEST(XsUnitVersioning, RecognisesOnlyRegistriesThisProcessMade) {
  TUnitVersioning registry;
  EXPECT_TRUE(TUnitVersioning::IsRegistryOfThisProcess(reinterpret_cast<uintptr_t>(&registry)));
  std::vector<uint32_t> lookalike(64, 0);
  const uintptr_t cases[] = {
      0,
      0x12345678,  // unmapped
      reinterpret_cast<uintptr_t>(lookalike.data()),
      reinterpret_cast<uintptr_t>(&registry) + 4,
      reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)),
      UINTPTR_MAX - 3,
  };
  for (uintptr_t address : cases)
    EXPECT_FALSE(TUnitVersioning::IsRegistryOfThisProcess(address)) << address;
}

// The registry as the modules of one process share it. Each state acts as one code
// module; every test closes what it opened, so that the next finds no named objects.
class XsSharedVersioning : public ::testing::Test {
protected:
  void TearDown() override {
    CloseSharedUnitVersioning(second_);
    CloseSharedUnitVersioning(first_);
  }

  static bool MutexExists() {
    UniqueHandle h(OpenMutexW(SYNCHRONIZE, FALSE, W(VersioningMutexName())));
    return bool(h);
  }
  static bool CellExists() {
    UniqueHandle h(OpenFileMappingW(FILE_MAP_READ, FALSE, W(VersioningCellName())));
    return bool(h);
  }
  // The named block as a stranger sees it; none when there is no block.
  static uintptr_t CellValue() {
    UniqueHandle h(OpenFileMappingW(FILE_MAP_READ, FALSE, W(VersioningCellName())));
    if (!h) return 0;
    void* view = MapViewOfFile(h.get(), FILE_MAP_READ, 0, 0, 4);
    uintptr_t value = 0;
    std::memcpy(&value, view, sizeof value);
    UnmapViewOfFile(view);
    return value;
  }

  TUnitVersioningState first_;
  TUnitVersioningState second_;
};

TEST_F(XsSharedVersioning, TheFirstUserCreatesAndPublishesTheRegistry) {
  EXPECT_FALSE(MutexExists());
  EXPECT_FALSE(CellExists());
  TUnitVersioning* registry = SharedUnitVersioning(first_);
  ASSERT_NE(registry, nullptr);
  EXPECT_TRUE(first_.SharedVersioningOwned);
  EXPECT_TRUE(MutexExists());
  EXPECT_EQ(CellValue(), reinterpret_cast<uintptr_t>(registry));
  EXPECT_EQ(SharedUnitVersioning(first_), registry);

  RegisterUnitVersionRecord(Program(), &kFirst, first_);
  RegisterUnitVersionRecord(Program(), &kSecond, first_);
  EXPECT_EQ(registry->Count(), 2);
  UnregisterModuleVersions(Program(), first_);
  EXPECT_EQ(registry->ModuleCount(), 0);

  CloseSharedUnitVersioning(first_);
  EXPECT_FALSE(MutexExists());
  EXPECT_FALSE(CellExists());
  EXPECT_EQ(first_.SharedVersioningMutex, nullptr);
}

TEST_F(XsSharedVersioning, ALaterModuleAdoptsTheRegistryWithoutOwningIt) {
  TUnitVersioning* registry = SharedUnitVersioning(first_);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(SharedUnitVersioning(second_), registry);
  EXPECT_FALSE(second_.SharedVersioningOwned);
  RegisterUnitVersionRecord(Kernel(), &kSecond, second_);
  RegisterUnitVersionRecord(Program(), &kFirst, first_);
  EXPECT_EQ(registry->ModuleCount(), 2);

  CloseSharedUnitVersioning(second_);
  // Still the first module's, and still alive.
  EXPECT_TRUE(TUnitVersioning::IsRegistryOfThisProcess(reinterpret_cast<uintptr_t>(registry)));
  EXPECT_EQ(registry->ModuleCount(), 2);
}

TEST_F(XsSharedVersioning, AFollowedRegistryIsNotFreedByTheModuleThatMadeAnother) {
  TUnitVersioning* own = SharedUnitVersioning(first_);
  ASSERT_NE(own, nullptr);
  // Another module of the process puts its registry in the block.
  auto other = std::make_unique<TUnitVersioning>();
  void* cell = nullptr;
  ASSERT_EQ(OpenNamedMemory(cell, VersioningCellName(), 4, FILE_MAP_ALL_ACCESS), 183);
  const uintptr_t otherAddress = reinterpret_cast<uintptr_t>(other.get());
  std::memcpy(cell, &otherAddress, sizeof otherAddress);
  CloseNamedMemory(cell);

  EXPECT_EQ(SharedUnitVersioning(first_), other.get());
  CloseSharedUnitVersioning(first_);
  // The other registry survives the close; the test's owner frees it.
  EXPECT_TRUE(TUnitVersioning::IsRegistryOfThisProcess(otherAddress));
  other->AddUnit(Program(), &kFirst);
  EXPECT_EQ(other->Count(), 1);
}

TEST_F(XsSharedVersioning, AfterCloseThereIsNoRegistryForGood) {
  ASSERT_NE(SharedUnitVersioning(first_), nullptr);
  CloseSharedUnitVersioning(first_);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(SharedUnitVersioning(first_), nullptr);
    RegisterUnitVersionRecord(Program(), &kFirst, first_);
    UnregisterModuleVersions(Program(), first_);
    EXPECT_FALSE(MutexExists());
    EXPECT_FALSE(CellExists());
    CloseSharedUnitVersioning(first_);
  }
}

// Names built from the process id can be taken by another process first. None of
// these may stop the program: the registry stays closed instead.
TEST_F(XsSharedVersioning, AMutexNameTakenByAnEventLeavesTheRegistryClosed) {
  UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, W(VersioningMutexName())));
  ASSERT_TRUE(event);
  EXPECT_EQ(SharedUnitVersioning(first_), nullptr);
  EXPECT_TRUE(first_.SharedVersioningClosed);
  RegisterUnitVersionRecord(Program(), &kFirst, first_);
  EXPECT_FALSE(CellExists());
}

TEST_F(XsSharedVersioning, ABlockHoldingAStrangersAddressIsNotAdopted) {
  std::vector<uint32_t> lookalike(64, 0);
  const uintptr_t strangers[] = {0x12345678, reinterpret_cast<uintptr_t>(lookalike.data())};
  for (uintptr_t stranger : strangers) {
    TUnitVersioningState state;
    UniqueHandle squat(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4,
                                          W(VersioningCellName())));
    ASSERT_TRUE(squat);
    void* view = MapViewOfFile(squat.get(), FILE_MAP_ALL_ACCESS, 0, 0, 4);
    std::memcpy(view, &stranger, sizeof stranger);

    EXPECT_EQ(SharedUnitVersioning(state), nullptr);
    EXPECT_TRUE(state.SharedVersioningClosed);
    RegisterUnitVersionRecord(Program(), &kFirst, state);
    CloseSharedUnitVersioning(state);
    uintptr_t after = 0;
    std::memcpy(&after, view, sizeof after);
    EXPECT_EQ(after, stranger);  // left as found
    UnmapViewOfFile(view);
  }
}

TEST_F(XsSharedVersioning, ABlockNameTakenByAnotherObjectLeavesTheRegistryClosed) {
  UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, W(VersioningCellName())));
  ASSERT_TRUE(event);
  EXPECT_EQ(SharedUnitVersioning(first_), nullptr);
  EXPECT_TRUE(first_.SharedVersioningClosed);
  // Nothing of the failed attempt is left behind.
  EXPECT_FALSE(MutexExists());
  EXPECT_EQ(first_.SharedVersioningMutex, nullptr);
  EXPECT_EQ(NamedMemoryList, nullptr);
}

// Takes the registry's mutex on a thread of its own, as a process that guessed the name
// would, until the object is gone.
class MutexSquatter {
public:
  MutexSquatter() : thread_([this] {
    // Opened, not created owned: the modules of the test made the mutex already.
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, W(VersioningMutexName())));
    WaitForSingleObject(mutex.get(), INFINITE);
    SetEvent(held_.get());
    WaitForSingleObject(done_.get(), INFINITE);
    ReleaseMutex(mutex.get());
  }) {
    WaitForSingleObject(held_.get(), INFINITE);
  }
  ~MutexSquatter() {
    SetEvent(done_.get());
    thread_.join();
  }

private:
  UniqueHandle held_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle done_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::thread thread_;
};

// Once registrations are in, a mutex taken by a stranger must not cost a wait at every
// later call: the first wait that runs out closes the registry for that module. The
// module that made the registry does not free it while another module still follows it.
TEST_F(XsSharedVersioning, AWaitThatRunsOutLaterClosesTheRegistryForGood) {
  TUnitVersioning* registry = SharedUnitVersioning(first_);
  ASSERT_NE(registry, nullptr);
  ASSERT_EQ(SharedUnitVersioning(second_), registry);
  RegisterUnitVersionRecord(Program(), &kFirst, first_);
  const uintptr_t address = reinterpret_cast<uintptr_t>(registry);
  for (TUnitVersioningState* state : {&first_, &second_}) {
    {
      MutexSquatter squatter;
      ASSERT_EQ(SharedUnitVersioning(*state, 100), nullptr);
    }
    EXPECT_TRUE(state->SharedVersioningClosed);
    EXPECT_FALSE(state->SharedVersioningOwned);
    // Nothing is left to wait on: the next calls and the close return at once.
    EXPECT_EQ(state->SharedVersioningMutex, nullptr);
    EXPECT_EQ(state->SharedVersioningCell, nullptr);
    EXPECT_EQ(SharedUnitVersioning(*state), nullptr);
    if (state == &first_) {
      // The module that made the registry closed; the other one still follows it.
      EXPECT_EQ(SharedUnitVersioning(second_), registry);
      EXPECT_TRUE(TUnitVersioning::IsRegistryOfThisProcess(address));
      EXPECT_EQ(registry->Count(), 1);
    }
  }
  // Nobody holds the block any more: the registry kept alive for it goes here.
  EXPECT_FALSE(CellExists());
  std::unique_ptr<TUnitVersioning> kept(registry);
}

TEST_F(XsSharedVersioning, AMutexHeldByAStrangerDoesNotHangTheStart) {
  UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread stranger([&] {
    UniqueHandle mutex(CreateMutexW(nullptr, TRUE, W(VersioningMutexName())));
    SetEvent(held.get());
    WaitForSingleObject(done.get(), INFINITE);
    ReleaseMutex(mutex.get());
  });
  WaitForSingleObject(held.get(), INFINITE);
  EXPECT_EQ(SharedUnitVersioning(first_, 100), nullptr);
  EXPECT_TRUE(first_.SharedVersioningClosed);
  SetEvent(done.get());
  stranger.join();
}
}  // namespace
