#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/file_stream.h"
#include "base/files.h"
#include "base/win_directory.h"
#include "temp_dir.h"

TEST(WinDirectory, ListsEntriesWithoutDotNames) {
  TempDir dir;
  { TFileStream f(dir.File(u"a.txt"), fmCreate); }
  { TFileStream f(dir.File(u"b \u00e9"), fmCreate); }
  ASSERT_TRUE(CreateDir(dir.File(u"sub")));
  std::vector<std::pair<String, bool>> seen;
  const DWORD error = ForEachEntry(dir.Path() + u"\\*", [&](const TFoundEntry& entry) {
    seen.emplace_back(entry.Name, (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  });
  EXPECT_EQ(error, DWORD(ERROR_SUCCESS));
  std::sort(seen.begin(), seen.end());
  const std::vector<std::pair<String, bool>> expected = {
      {u"a.txt", false}, {u"b \u00e9", false}, {u"sub", true}};
  EXPECT_EQ(seen, expected);
}

TEST(WinDirectory, SearchThatCannotStart) {
  TempDir dir;
  int visits = 0;
  const auto count = [&](const TFoundEntry&) { ++visits; };
  EXPECT_EQ(ForEachEntry(dir.Path() + u"\\*.none", count), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(ForEachEntry(dir.File(u"missing") + u"\\*", count), DWORD(ERROR_SUCCESS));
  EXPECT_EQ(ForEachEntry(dir.Path() + String(1, u'\0') + u"\\*", count),
            DWORD(ERROR_INVALID_NAME));
  EXPECT_EQ(ForEachEntry(u"", count), DWORD(ERROR_INVALID_NAME));
  EXPECT_EQ(visits, 0);
}

TEST(WinDirectory, AttributesOfNames) {
  TempDir dir;
  EXPECT_NE(FileAttributesOf(dir.Path()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(FileAttributesOf(dir.File(u"missing")), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FileAttributesOf(u""), INVALID_FILE_ATTRIBUTES);
  // The part before the zero names an existing folder; the whole name does not.
  EXPECT_EQ(FileAttributesOf(dir.Path() + String(1, u'\0') + u"x"), INVALID_FILE_ATTRIBUTES);
}
