#include "scan/settings_values.h"

#include <windows.h>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"

namespace {

// Each test has keys of its own, with no parent shared with another test: test programs
// run in parallel, and a shared parent would be left behind by whichever ends last.
class SettingsValues : public ::testing::Test {
protected:
  void SetUp() override {
    root = u"Software\\QzTest_Settings_" +
           FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    keys = TSettingsKeys{root + u"\\General", root + u"\\ColWidths"};
    RegDeleteTreeW(HKEY_CURRENT_USER, W(root));
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, W(root)); }

  static void Put(const String& key, const String& name, DWORD type, const void* data,
                  DWORD size) {
    UniqueHKey k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(key), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              k.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(k.get(), W(name), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }

  String root;
  TSettingsKeys keys;
};

// A stored value as the registry holds it.
struct Stored {
  bool general;  // else under ColWidths
  String name;
  DWORD type;
  std::vector<BYTE> data;
};

Stored Dword(bool general, const String& name, int32_t v) {
  std::vector<BYTE> d(4);
  memcpy(d.data(), &v, 4);
  return {general, name, REG_DWORD, d};
}

Stored Text(bool general, const String& name, const String& s, bool terminated = true) {
  std::vector<BYTE> d((s.size() + (terminated ? 1 : 0)) * 2, 0);
  memcpy(d.data(), s.data(), s.size() * 2);
  return {general, name, REG_SZ, d};
}

Stored Raw(bool general, const String& name, DWORD type, std::vector<BYTE> data) {
  return {general, name, type, std::move(data)};
}

}  // namespace

TEST_F(SettingsValues, HostileStoredValuesFallBackOrAreClamped) {
  constexpr int kWorkWidth = 1024, kWorkHeight = 768;
  using Field = std::function<int64_t(const TMainSettings&)>;
  const Field width = [](const TMainSettings& s) { return s.FormWidth; };
  const Field height = [](const TMainSettings& s) { return s.FormHeight; };
  const auto column = [](int c) {
    return Field([c](const TMainSettings& s) { return s.ColWidths[size_t(c)]; });
  };
  const Field scanDirLength = [](const TMainSettings& s) { return int64_t(s.ScanDir.size()); };
  const Field hidden = [](const TMainSettings& s) { return s.IncludeHidden; };
  const Field subDirs = [](const TMainSettings& s) { return s.IncludeSubDir; };
  struct Case {
    const char* name;
    Stored value;
    Field field;
    int64_t expected;
  } cases[] = {
      {"width kept", Dword(true, u"FormWidth", 900), width, 900},
      {"width below minimum", Dword(true, u"FormWidth", 500), width, 831},
      {"width at minimum", Dword(true, u"FormWidth", 550), width, 550},
      {"negative width", Dword(true, u"FormWidth", -5), width, 831},
      {"huge width", Dword(true, u"FormWidth", INT32_MAX), width, kWorkWidth},
      {"width as text", Text(true, u"FormWidth", u"900"), width, 831},
      {"width of two bytes", Raw(true, u"FormWidth", REG_DWORD, {0x84, 0x03}), width, 831},
      {"width of eight bytes", Raw(true, u"FormWidth", REG_QWORD, {1, 2, 3, 4, 0, 0, 0, 0}), width,
       831},
      {"lowest height", Dword(true, u"FormHeight", INT32_MIN), height, 582},
      {"tall height", Dword(true, u"FormHeight", 5000), height, kWorkHeight},
      {"narrow column", Dword(false, u"1", 40), column(1), 110},
      {"negative column", Dword(false, u"3", -1), column(3), 85},
      {"wide column", Dword(false, u"2", 300), column(2), 300},
      {"huge column", Dword(false, u"0", 1000000000), column(0), kMaxColumnWidth},
      {"column as text", Text(false, u"6", u"500"), column(6), 70},
      {"folder as number", Dword(true, u"ScanDir", 7), scanDirLength, 0},
      {"unterminated folder", Text(true, u"ScanDir", u"C:\\data", false), scanDirLength, 7},
      {"odd-length folder", Raw(true, u"ScanDir", REG_SZ, {'C', 0, ':'}), scanDirLength, 1},
      {"folder longer than any path", Text(true, u"ScanDir", String(40000, u'a')),
       scanDirLength, 0},
      {"any non-zero is true", Dword(true, u"IncludeHidden", 7), hidden, 1},
      {"flag as text", Text(true, u"IncludeHidden", u"1"), hidden, 0},
      {"flag as binary", Raw(true, u"IncludeSubDir", REG_BINARY, {0}), subDirs, 1},
  };
  for (const Case& c : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, W(root));
    Put(c.value.general ? keys.General : keys.ColWidths, c.value.name, c.value.type,
        c.value.data.data(), DWORD(c.value.data.size()));
    EXPECT_EQ(c.field(ReadMainSettings(keys, kWorkWidth, kWorkHeight)), c.expected) << c.name;
  }
}

TEST_F(SettingsValues, EmptyRegistryGivesTheDefaults) {
  const TMainSettings s = ReadMainSettings(keys, 1024, 768);
  EXPECT_EQ(s.FormWidth, 831);
  EXPECT_EQ(s.FormHeight, 582);
  EXPECT_EQ(s.ScanDir, u"");
  EXPECT_EQ((std::vector<bool>{s.IncludeSubDir, s.IgnoreCase, s.IncludeSize, s.IncludeReadOnly,
                               s.IncludeHidden, s.IncludeSystem}),
            (std::vector<bool>{true, true, true, true, false, false}));
  EXPECT_EQ((std::vector<int>(s.ColWidths.begin(), s.ColWidths.end())),
            (std::vector<int>{70, 110, 50, 85, 85, 85, 70}));
  // The work area bounds the default size too.
  const TMainSettings small = ReadMainSettings(keys, 700, 400);
  EXPECT_EQ(small.FormWidth, 700);
  EXPECT_EQ(small.FormHeight, kMinFormHeight);  // the window cannot be smaller
}

TEST_F(SettingsValues, WrittenValuesReadBack) {
  TMainSettings s;
  s.FormWidth = 640;
  s.FormHeight = 560;
  s.ScanDir = u"  D:\\Fotos \u00e9\u0416\\ ";  // stored as typed, blanks included
  s.IncludeSubDir = false;
  s.IgnoreCase = false;
  s.IncludeSize = false;
  s.IncludeReadOnly = false;
  s.IncludeHidden = true;
  s.IncludeSystem = true;
  s.ColWidths = {71, 111, 51, 86, 87, 88, 72};
  WriteMainSettings(keys, s);
  const TMainSettings r = ReadMainSettings(keys, 1024, 768);
  EXPECT_EQ(r.FormWidth, 640);
  EXPECT_EQ(r.FormHeight, 560);
  EXPECT_EQ(r.ScanDir, s.ScanDir);
  EXPECT_EQ((std::vector<bool>{r.IncludeSubDir, r.IgnoreCase, r.IncludeSize, r.IncludeReadOnly,
                               r.IncludeHidden, r.IncludeSystem}),
            (std::vector<bool>{false, false, false, false, true, true}));
  EXPECT_EQ(r.ColWidths, s.ColWidths);

  EXPECT_EQ(ReadSaveToDir(keys), u"");
  WriteSaveToDir(keys, u" C:\\out\\ ");
  EXPECT_EQ(ReadSaveToDir(keys), u"C:\\out\\");  // trimmed when read
}
