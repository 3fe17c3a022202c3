#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "unzip/xr_unzip.h"

#ifndef QZ_EXTRACT_FIXTURES
#error "QZ_EXTRACT_FIXTURES names the folder of the generated extraction fixtures"
#endif

namespace {

// Every archive the fixture script made gives, file for file, what unzip gave.
TEST(ExtractFixtures, SameTreeAsUnzip) {
  std::ifstream list(std::string(QZ_EXTRACT_FIXTURES) + "/fixtures.list");
  std::string name;
  int archives = 0;
  while (std::getline(list, name)) {
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    ++archives;
    const std::string base = std::string(QZ_EXTRACT_FIXTURES) + "/" + name;
    ScratchDir out("extract_fixture");
    TXrUnZip unzip;
    unzip.SetDestDir(out.Path());
    unzip.SetZipName(HostPath(base));
    unzip.DoAll = true;
    unzip.OverwriteMode = TUZOverwriteMode::Always;
    unzip.RecreateDirs = true;
    int32_t skipped = 0;
    unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason, const String&, int32_t, bool&) { ++skipped; };
    const int32_t done = unzip.UnZip();
    EXPECT_EQ(done, unzip.LoadedEntryCount());
    EXPECT_EQ(skipped, 0);
    const auto expected = TreeOf(HostPath(base.substr(0, base.size() - 4) + ".expected"));
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(TreeOf(out.Path()), expected);
  }
  EXPECT_EQ(archives, 7);
}

}  // namespace
