#include "update/download_watch.h"

#include <gtest/gtest.h>

#include <vector>

TEST(DownloadWatch, TheProductsLimits) {
  const TDownloadLimits limits;
  EXPECT_EQ(limits.MaxSize, 256 * 1024 * 1024);
  EXPECT_EQ(limits.StallWindowMs, 60000u);
  EXPECT_EQ(limits.MinBytesPerWindow, 16 * 1024);
}

TEST(DownloadWatch, AnnouncedSizeUpToTheLimit) {
  TDownloadWatch watch(TDownloadLimits{.MaxSize = 1000});
  EXPECT_TRUE(watch.Begin(0, 0));
  EXPECT_TRUE(watch.Begin(1000, 0));
  EXPECT_FALSE(watch.Begin(1001, 0));
}

// Each step: bytes so far, the clock, whether the download may go on.
TEST(DownloadWatch, EndsADownloadThatStallsOrGrowsTooLarge) {
  struct Step {
    int64_t count;
    uint32_t now;
    bool goesOn;
  };
  struct Case {
    const char* what;
    uint32_t start;
    std::vector<Step> steps;
  } cases[] = {
      {"a byte every 20 s", 0, {{1, 20000, true}, {2, 40000, true}, {3, 60000, false}}},
      {"enough in each window",
       0,
       {{100, 59999, true}, {100, 60000, true}, {200, 119999, true}, {200, 120000, true}}},
      // Enough at the first window's end, then too little over the next one.
      {"stalls later", 0, {{100, 60000, true}, {199, 120000, false}}},
      {"just too little", 0, {{99, 60000, false}}},
      {"a late first byte with enough", 0, {{100, 90000, true}}},
      {"over the size", 0, {{1000, 1, true}, {1001, 2, false}}},
      {"across the clock's wrap",
       0xFFFFF000u,
       {{1, 0x00000F00u, true}, {1, 0xFFFFF000u + 59999u, true}, {1, 0xFFFFF000u + 60000u, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDownloadWatch watch(
        TDownloadLimits{.MaxSize = 1000, .StallWindowMs = 60000, .MinBytesPerWindow = 100});
    ASSERT_TRUE(watch.Begin(0, c.start));
    for (const Step& s : c.steps)
      EXPECT_EQ(watch.Progress(s.count, s.now), s.goesOn) << s.count << " at " << s.now;
  }
}
