#include "setup/uninstall_log.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "tests/setup/setup_test_support.h"
#include "tests/testlib/test_paths.h"

namespace {

std::string Record(uint8_t kind, const std::string& path) {
  std::string r(260, '\0');
  r[0] = char(kind);
  r[4] = char(path.size());
  r.replace(5, path.size(), path);
  return r;
}

TEST(UninstallLog, RecordsAre260BytesInTheOrderAdded) {
  TUninstallLog log;
  EXPECT_TRUE(log.AddUninstallEntry(ukFolder, u"C:\\Apps\\Quorlix"));
  EXPECT_TRUE(log.AddUninstallEntry(ukFile, u"C:\\Apps\\Quorlix\\Caf\u00E9.txt"));  // ANSI byte E9
  EXPECT_EQ(log.Bytes(), Record(2, "C:\\Apps\\Quorlix") + Record(1, "C:\\Apps\\Quorlix\\Caf\xE9.txt"));
}

TEST(UninstallLog, GrowsPastTenRecords) {
  TUninstallLog log;
  for (int i = 0; i < 25; ++i) log.AddUninstallEntry(ukFile, u"C:\\f" + FromAscii(std::to_string(i)));
  EXPECT_EQ(log.Bytes().size(), 25u * 260u);
  EXPECT_EQ(log.Bytes().substr(24 * 260, 260), Record(1, "C:\\f24"));
}

TEST(UninstallLog, LeavesOutPathsItCannotHoldExactly) {
  TUninstallLog log;
  const String longest = u"C:\\" + String(252, u'a');  // 255 bytes
  EXPECT_TRUE(log.AddUninstallEntry(ukFile, longest));
  EXPECT_FALSE(log.AddUninstallEntry(ukFile, longest + u"b"));  // a cut path names another file
  EXPECT_FALSE(log.AddUninstallEntry(ukFile, u"C:\\\u4E2D.txt"));  // no ANSI code
  ASSERT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.Bytes(), Record(1, "C:\\" + std::string(252, 'a')));
}

TEST(UninstallLog, SavesTheBytesAndRaisesWhenItCannotCreate) {
  ScratchDir dir("setup-uninstall-log");
  TUninstallLog log;
  log.AddUninstallEntry(ukFolder, u"C:\\x");
  log.SaveToFile(dir / u"uninstall.dat");
  log.AddUninstallEntry(ukFile, u"C:\\x\\y");
  log.SaveToFile(dir / u"uninstall.dat");  // replaced whole
  EXPECT_EQ(ReadBytes(dir / u"uninstall.dat"), log.Bytes());
  EXPECT_THROW(log.SaveToFile(dir / u"missing\\uninstall.dat"), EInOutError);
  EXPECT_THROW(TUninstallLog().SaveToFile(dir.Path()), EInOutError);  // a folder
}

}  // namespace
