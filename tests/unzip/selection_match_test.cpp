#include "unzip/selection_match.h"

#include <gtest/gtest.h>

#include "base/string_list.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/unzip_test_support.h"
#include "unzip/unzip_errors.h"

namespace {

TEST(SelectionPatterns, AnyLineSelects) {
  TStringList lines;
  const TSelectionPatterns none(lines);
  EXPECT_FALSE(none.Matches(u""));
  EXPECT_FALSE(none.Matches(u"a.txt"));

  lines.Add(u"*.TXT");
  lines.Add(u"docs\\<a-m>*");
  const TSelectionPatterns some(lines);
  EXPECT_TRUE(some.Matches(u"readme.txt"));
  EXPECT_TRUE(some.Matches(u"docs\\manual.pdf"));
  EXPECT_FALSE(some.Matches(u"docs\\readme.pdf"));
}

TEST(SelectionPatterns, AMalformedLineIsNamedBeforeAnythingMatches) {
  TStringList lines;
  lines.Add(u"*.txt");
  lines.Add(u"docs\\<a-");
  try {
    TSelectionPatterns patterns(lines);
    FAIL() << "no error";
  } catch (const EXrZipException& e) {
    EXPECT_EQ(e.Message(),
              u"Invalid file pattern \"docs\\<a-\": a <> set is empty, not closed or has a "
              u"range without its end");
  }
}

// basic.zip: readme.txt, docs/, docs/manual.txt, docs/sub/deep.bin, empty.txt.
TEST(SelectionPatterns, TheComponentSelectsWithSetsAndRefusesABadLine) {
  ScratchDir dir("selection_patterns");
  {
    RecordingUnZip unzip;
    unzip.SetZipName(Fixture("basic.zip"));
    unzip.SetDestDir(dir.Path());
    unzip.FilesList().Add(u"*<!\\>.TXT");  // text files outside any folder
    EXPECT_EQ(unzip.UnZip(), 2);
    EXPECT_EQ(unzip.handedNames, (std::vector<String>{u"readme.txt", u"empty.txt"}));
  }
  {
    RecordingUnZip unzip;
    unzip.SetZipName(Fixture("basic.zip"));
    unzip.SetDestDir(dir.Path());
    unzip.FilesList().Add(u"*.txt");
    unzip.FilesList().Add(u"<>*");
    int32_t complete = -1;
    unzip.OnUnZipComplete = [&](TXrUnZip&, int32_t files) { complete = files; };
    EXPECT_THROW(unzip.UnZip(), EXrZipException);
    EXPECT_TRUE(unzip.handed.empty());
    EXPECT_EQ(complete, 0);
    EXPECT_EQ(unzip.FilesList().Count(), 0);
  }
}

}  // namespace
