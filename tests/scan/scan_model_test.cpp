// One scan's counting without the window: which files count under which key, the
// totals, the walk's options, and the rows the grid and the saved summary take.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

#include "scan/scan_model.h"
#include "scan/summary_sort.h"

namespace {

struct File {
  const char16_t* ext;  // with its dot, as the walk hands it over
  int64_t size;
};

using Counts = std::map<String, int32_t>;

Counts CountsOf(const TSummaryList& list) {
  Counts out;
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.Summ(i).Ext, list.Strings(i));
    out[list.Strings(i)] = list.Summ(i).Count;
  }
  return out;
}

TScanModel MakeModel(std::vector<String>* asked = nullptr) {
  return TScanModel([asked](const String& ext) {
    if (asked) asked->push_back(ext);
    return u"type " + ext;
  });
}

TEST(ScanModel, WhichFilesCountAndUnderWhichKey) {
  struct Options {
    bool ignoreCase = true;
    bool size = true;
    const char16_t* ignoreExt = u"";
  };
  const struct {
    const char* what;
    Options options;
    std::vector<File> files;
    Counts counts;
    int64_t total;
  } cases[] = {
      {"no dot, a bare dot and a dot-file",
       {},
       {{u".txt", 10}, {u"", 5}, {u".", 7}, {u".profile", 1}},
       {{u"txt", 1}, {u"profile", 1}},
       11},
      {"case ignored: ASCII letters folded",
       {},
       {{u".JPG", 1}, {u".jpg", 2}, {u".\u00C4", 4}},
       {{u"jpg", 2}, {u"\u00C4", 1}},
       7},
      {"case kept", {.ignoreCase = false}, {{u".JPG", 1}, {u".jpg", 2}}, {{u"JPG", 1}, {u"jpg", 1}}, 3},
      {"ignored extension trimmed, neither counted nor in the total",
       {.ignoreExt = u" tmp "},
       {{u".tmp", 100}, {u".TMP", 100}, {u".txt", 1}},
       {{u"txt", 1}},
       1},
      {"ignored extension with a dot ignores nothing",
       {.ignoreExt = u".tmp"},
       {{u".tmp", 100}},
       {{u"tmp", 1}},
       100},
      {"ignored extension compared as typed when case is kept",
       {.ignoreCase = false, .ignoreExt = u"jpg"},
       {{u".JPG", 1}, {u".jpg", 2}},
       {{u"JPG", 1}},
       1},
      {"without size data the scan's total still counts",
       {.size = false},
       {{u".bin", 1000}, {u".bin", 24}},
       {{u"bin", 2}},
       1024},
      {"the total saturates",
       {},
       {{u".iso", INT64_MAX}, {u".iso", INT64_MAX}, {u".txt", 1}},
       {{u"iso", 2}, {u"txt", 1}},
       INT64_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TScanModel model = MakeModel();
    model.Start({.IgnoreCase = c.options.ignoreCase,
                 .IncludeSize = c.options.size,
                 .IgnoreExt = c.options.ignoreExt});
    int32_t counted = 0;
    for (const File& f : c.files) counted += model.AddFile(f.ext, f.size) ? 1 : 0;
    EXPECT_EQ(CountsOf(model.Summaries()), c.counts);
    int32_t files = 0;
    for (const auto& [ext, n] : c.counts) files += n;
    EXPECT_EQ(counted, files);
    EXPECT_EQ(model.FileCount(), files);
    EXPECT_EQ(model.TotalSize(), c.total);
  }
}

TEST(ScanModel, SizesAreKeptOnlyWithSizeData) {
  for (const bool withSize : {true, false}) {
    SCOPED_TRACE(withSize);
    TScanModel model = MakeModel();
    model.Start({.IncludeSize = withSize});
    for (const int64_t size : {int64_t(1000), int64_t(3000), int64_t(-5), INT64_MAX})
      model.AddFile(u".dat", size);
    const TExtenSumm& dat = model.Summaries().Summ(0);
    EXPECT_EQ(dat.Count, 4);
    EXPECT_EQ(dat.MaxSize, withSize ? INT64_MAX : 0);
    EXPECT_EQ(dat.MinSize, withSize ? -5 : 0);
    EXPECT_EQ(dat.TotalSize, withSize ? INT64_MAX : 0);  // saturated, not wrapped
  }
}

// A new scan forgets the last one: its entries, counts, total, options and type names.
TEST(ScanModel, EachStartBeginsAfresh) {
  std::vector<String> asked;
  TScanModel model = MakeModel(&asked);
  model.Start({.IncludeSize = true, .IgnoreExt = u"log"});
  for (const char16_t* ext : {u".txt", u".TXT", u".bin", u".txt", u".log"}) model.AddFile(ext, 10);
  EXPECT_EQ(asked, (std::vector<String>{u"txt", u"bin"}));  // once per extension
  EXPECT_EQ(model.Summaries().Summ(1).FileType, u"type txt");

  model.Start({.IgnoreCase = false, .IncludeSize = false});
  EXPECT_EQ(model.Summaries().Count(), 0);
  EXPECT_EQ(model.FileCount(), 0);
  EXPECT_EQ(model.TotalSize(), 0);
  EXPECT_EQ(model.ColumnCount(), 3);
  for (const char16_t* ext : {u".txt", u".TXT", u".log"}) model.AddFile(ext, 10);
  EXPECT_EQ(asked, (std::vector<String>{u"txt", u"bin", u"txt", u"TXT", u"log"}));
  EXPECT_EQ(CountsOf(model.Summaries()), (Counts{{u"TXT", 1}, {u"log", 1}, {u"txt", 1}}));
  EXPECT_EQ(model.Summaries().Summ(0).TotalSize, 0);
}

TEST(ScanModel, WalkOptionsFollowTheCheckBoxes) {
  const struct {
    TScanOptions options;
    int32_t mask;
  } cases[] = {
      {{}, kAttrDirectory | kAttrReadOnly},
      {{.IncludeSubDirs = false, .IncludeReadOnly = false}, 0},
      {{.IncludeHidden = true}, kAttrDirectory | kAttrReadOnly | kAttrHidden},
      {{.IncludeSubDirs = false, .IncludeSystem = true}, kAttrReadOnly | kAttrSystem},
  };
  for (const auto& c : cases) {
    TScanModel model = MakeModel();
    model.Start(c.options);
    const TFolderWalkOptions walk = model.WalkOptions();
    EXPECT_EQ(model.AttrMask(), c.mask);
    EXPECT_EQ(walk.AttrMask, c.mask);
    EXPECT_EQ(walk.IncludeSubDirs, c.options.IncludeSubDirs);
    EXPECT_EQ(walk.ExcludeReadOnly, !c.options.IncludeReadOnly);
    EXPECT_EQ(walk.ExcludeHidden, !c.options.IncludeHidden);
    EXPECT_EQ(walk.ExcludeSystem, !c.options.IncludeSystem);
  }
}

// The grid and the saved summary take the same rows: every entry in the list's present
// order, the columns of the scan.
TEST(ScanModel, RowsAndTable) {
  TScanModel model = MakeModel();
  model.Start({});
  EXPECT_EQ(model.ColumnCount(), 7);
  TSummaryTable empty = model.Table({u"a", u"b", u"c", u"d", u"e", u"f", u"g"});
  ASSERT_EQ(empty.Rows.size(), 1u);  // the grid's one empty row
  EXPECT_EQ(empty.Rows[0], std::vector<String>(7));

  for (const File& f : std::vector<File>{{u".b", 300}, {u".a", 100}, {u".b", 600}}) model.AddFile(f.ext, f.size);
  EXPECT_EQ(model.Row(0), (std::vector<String>{u"a", u"type a", u"1", u"0.1 KB", u"0.1 KB",
                                               u"0.1 KB", u"10.0%"}));
  model.Summaries().SetSorted(false);
  model.Summaries().CustomSort(CompareCountDesc);
  const std::vector<String> titles = {u"Extension >",   u"File Type",     u"Count",
                                      u"Total Size (KB)", u"Max Size (KB)", u"Min Size (KB)",
                                      u"% of Total"};
  const TSummaryTable table = model.Table(titles);
  EXPECT_EQ(table.Titles, titles);
  ASSERT_EQ(table.Rows.size(), 2u);
  EXPECT_EQ(table.Rows[0], (std::vector<String>{u"b", u"type b", u"2", u"0.9 KB", u"0.6 KB",
                                                u"0.3 KB", u"90.0%"}));
  EXPECT_EQ(table.Rows[1], model.Row(1));

  model.Start({.IncludeSize = false});
  model.AddFile(u".a", 1);
  EXPECT_EQ(model.Row(0), (std::vector<String>{u"a", u"type a", u"1"}));
}

}  // namespace
