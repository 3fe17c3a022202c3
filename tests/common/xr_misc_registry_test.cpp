#include "common/xr_misc_registry.h"

#include <windows.h>

#include <sddl.h>

#include <atomic>
#include <functional>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/win_handle.h"
#include "base/win_string.h"

namespace {
// The largest single allocation since the last reset: a read must not copy a value
// it is going to refuse.
std::atomic<size_t> largestAllocation{0};
}  // namespace

void* operator new(size_t size) {
  size_t seen = largestAllocation.load();
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  if (p) HeapFree(GetProcessHeap(), 0, p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {
// Each test has a key of its own, with no parent shared with another test: tests run in
// parallel processes, and a shared parent would be left behind by whichever ends last.
String testKey;

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool exists = false;
};

class RegistryRoutines : public ::testing::Test {
protected:
  void SetUp() override {
    testKey = u"Software\\QzTest_" +
              FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    RegDeleteTreeW(HKEY_CURRENT_USER, W(testKey));
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, W(testKey)); }

  static void Put(const String& name, DWORD type, const void* data, DWORD size) {
    UniqueHKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(testKey), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), W(name), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  static void PutDword(const String& name, DWORD v) { Put(name, REG_DWORD, &v, sizeof v); }
  static void PutText(const String& name, const String& s, DWORD type = REG_SZ) {
    Put(name, type, s.c_str(), DWORD((s.size() + 1) * 2));
  }
  static RawValue Get(const String& name) {
    RawValue v;
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(testKey), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
      return v;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), W(name), nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS)
      return v;
    v.data.resize(size);
    RegQueryValueExW(key.get(), W(name), nullptr, &v.type, v.data.data(), &size);
    v.exists = true;
    return v;
  }
  static bool KeyExists() {
    UniqueHKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, W(testKey), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
  }
  static DWORD DwordOf(const RawValue& v) {
    DWORD d = 0;
    if (v.data.size() == 4) memcpy(&d, v.data.data(), 4);
    return d;
  }
};
}  // namespace

TEST_F(RegistryRoutines, IntegerAndBoolRoundTrip) {
  RegWriteInteger(testKey, u"Width", -5);
  EXPECT_EQ(RegReadInteger(testKey, u"Width", 0), -5);
  RegWriteBool(testKey, u"Flag", true);
  EXPECT_TRUE(RegReadBool(testKey, u"Flag", false));
  RegWriteString(testKey, u"Dir", u"C:\\data\\\u00e9");
  EXPECT_EQ(RegReadString(testKey, u"Dir", u"x"), u"C:\\data\\\u00e9");
}

TEST_F(RegistryRoutines, MissingIntegerWritesTheDefaultBack) {
  EXPECT_EQ(RegReadInteger(testKey, u"Count", 42), 42);
  const RawValue v = Get(u"Count");
  ASSERT_TRUE(v.exists);
  EXPECT_EQ(v.type, DWORD(REG_DWORD));
  EXPECT_EQ(DwordOf(v), 42u);
  EXPECT_EQ(RegReadInteger(testKey, u"Count", 7), 42);
}

TEST_F(RegistryRoutines, WrongTypedIntegerIsReplacedByTheDefault) {
  const BYTE two[2] = {1, 0};
  const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  const BYTE four[4] = {1, 0, 0, 0};
  struct Case {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {
      {"text '123'", REG_SZ, u"123", 8},
      {"short dword", REG_DWORD, two, 2},
      {"long dword", REG_DWORD, eight, 8},
      {"binary of four bytes", REG_BINARY, four, 4},
      {"qword", REG_QWORD, eight, 8},
  };
  for (const auto& c : cases) {
    Put(u"V", c.type, c.data, c.size);
    EXPECT_EQ(RegReadInteger(testKey, u"V", 9), 9) << c.what;
    const RawValue v = Get(u"V");
    EXPECT_EQ(v.type, DWORD(REG_DWORD)) << c.what;
    EXPECT_EQ(DwordOf(v), 9u) << c.what;
  }
}

TEST_F(RegistryRoutines, BoolReadsAnyNonZeroAsTrue) {
  PutDword(u"B", 2);
  EXPECT_TRUE(RegReadBool(testKey, u"B", false));
  PutDword(u"B", 0);
  EXPECT_FALSE(RegReadBool(testKey, u"B", true));
  EXPECT_TRUE(RegReadBool(testKey, u"Missing1", true));
  EXPECT_EQ(DwordOf(Get(u"Missing1")), 1u);
  EXPECT_FALSE(RegReadBool(testKey, u"Missing0", false));
  EXPECT_EQ(DwordOf(Get(u"Missing0")), 0u);
}

TEST_F(RegistryRoutines, MissingTextGivesTheDefaultWithoutWriting) {
  EXPECT_EQ(RegReadString(testKey, u"S", u"dflt"), u"dflt");
  EXPECT_TRUE(KeyExists());
  EXPECT_FALSE(Get(u"S").exists);
}

TEST_F(RegistryRoutines, StoredTextsReadAsStored) {
  PutText(u"Empty", u"");
  EXPECT_EQ(RegReadString(testKey, u"Empty", u"dflt"), u"");
  PutText(u"Expand", u"%TEMP%\\x", REG_EXPAND_SZ);
  EXPECT_EQ(RegReadString(testKey, u"Expand", u"dflt"), u"%TEMP%\\x");
  // No data at all is an existing value with no text.
  Put(u"NoData", REG_SZ, nullptr, 0);
  EXPECT_EQ(RegReadString(testKey, u"NoData", u"dflt"), u"");
}

TEST_F(RegistryRoutines, MalformedTextDataIsReadSafely) {
  const String abc = u"abc";
  Put(u"Unterminated", REG_SZ, abc.data(), 6);
  EXPECT_EQ(RegReadString(testKey, u"Unterminated", u"d"), u"abc");
  Put(u"OddLength", REG_SZ, abc.data(), 5);
  EXPECT_EQ(RegReadString(testKey, u"OddLength", u"d"), u"ab");
  const Char inner[] = {u'a', 0, u'b', 0};
  Put(u"InnerZero", REG_SZ, inner, sizeof inner);
  EXPECT_EQ(RegReadString(testKey, u"InnerZero", u"d"), u"a");
}

TEST_F(RegistryRoutines, WrongTypedTextIsReplacedByTheDefault) {
  PutDword(u"S", 5);
  EXPECT_EQ(RegReadString(testKey, u"S", u"dflt"), u"dflt");
  const RawValue v = Get(u"S");
  EXPECT_EQ(v.type, DWORD(REG_SZ));
  ASSERT_EQ(v.data.size(), 10u);
  EXPECT_EQ(String(reinterpret_cast<const Char*>(v.data.data()), 4), u"dflt");
}

namespace {
// A key under the test's own that nobody may open. The handle it was made with keeps its
// access, so the key's access is given back through it at the end and the test's
// clean-up can remove it: a key left denied fails every later run on the prefix.
class DeniedKey {
public:
  explicit DeniedKey(const String& path) {
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(path), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key_.put(), nullptr),
              ERROR_SUCCESS);
    made_ = SetDacl(L"D:P(D;;KA;;;WD)");
  }
  ~DeniedKey() { SetDacl(L"D:P(A;;KA;;;WD)"); }
  DeniedKey(const DeniedKey&) = delete;
  DeniedKey& operator=(const DeniedKey&) = delete;
  bool Made() const { return made_; }
  DWORD ValueCount() const {
    DWORD values = 0;
    RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    return values;
  }

private:
  bool SetDacl(const wchar_t* sddl) {
    if (!key_) return false;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd,
                                                              nullptr))
      return false;
    const bool set = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    LocalFree(sd);
    return set;
  }
  UniqueHKey key_;
  bool made_ = false;
};
}  // namespace

TEST_F(RegistryRoutines, UnopenableKeyGivesDefaultsAndWritesNothing) {
  const String denied = testKey + u"\\Denied";
  DeniedKey deniedKey(denied);
  ASSERT_TRUE(deniedKey.Made());
  EXPECT_EQ(RegReadInteger(denied, u"I", 3), 3);
  EXPECT_TRUE(RegReadBool(denied, u"B", true));
  EXPECT_EQ(RegReadString(denied, u"S", u"s"), u"s");
  EXPECT_NO_THROW(RegWriteInteger(denied, u"I", 1));
  EXPECT_NO_THROW(RegWriteString(denied, u"S", u"x"));
  EXPECT_NO_THROW(RegWriteBool(denied, u"B", false));
  EXPECT_EQ(deniedKey.ValueCount(), 0u);
  // A key path the registry rejects behaves the same way.
  EXPECT_EQ(RegReadInteger(u"\\Leading\\Backslash", u"I", 4), 4);
}

TEST_F(RegistryRoutines, RefusedWriteRaisesWithTheValueName) {
  // A value name longer than the registry allows is refused after the key opened.
  const String longName(20000, u'n');
  try {
    RegWriteString(testKey, longName, u"x");
    FAIL() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), u"Failed to set data for '" + longName + u"'");
  }
}

TEST_F(RegistryRoutines, LargeValuesOfAnotherKindAreRefusedUnread) {
  constexpr size_t kSmall = 64 << 10;
  const std::vector<BYTE> binary(4 << 20, 0x41);
  const String longText((2 << 20) / sizeof(Char), u'x');  // over the text limit
  struct Case {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
    std::function<bool()> readsDefault;
    DWORD storedType;
  } cases[] = {
      {"binary as integer", REG_BINARY, binary.data(), DWORD(binary.size()),
       [] { return RegReadInteger(testKey, u"Big", 5) == 5; }, REG_DWORD},
      {"binary as boolean", REG_BINARY, binary.data(), DWORD(binary.size()),
       [] { return RegReadBool(testKey, u"Big", true); }, REG_DWORD},
      {"binary as text", REG_BINARY, binary.data(), DWORD(binary.size()),
       [] { return RegReadString(testKey, u"Big", u"d") == u"d"; }, REG_SZ},
      {"text over the limit", REG_SZ, longText.c_str(), DWORD((longText.size() + 1) * 2),
       [] { return RegReadString(testKey, u"Big", u"d") == u"d"; }, REG_SZ},
  };
  for (const Case& c : cases) {
    Put(u"Big", c.type, c.data, c.size);
    largestAllocation = 0;
    EXPECT_TRUE(c.readsDefault()) << c.what;
    EXPECT_LT(largestAllocation.load(), kSmall) << c.what;
    const RawValue v = Get(u"Big");
    EXPECT_EQ(v.type, c.storedType) << c.what;
    EXPECT_LT(v.data.size(), 16u) << c.what;
  }
}
