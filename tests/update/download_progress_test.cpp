#include "update/download_progress.h"

#include <gtest/gtest.h>

#include <climits>

TEST(DownloadProgress, PercentOfTheAnnouncedSize) {
  struct Case {
    int64_t count, size;
    int position;
    String caption;
  } cases[] = {
      {512, 2048, 25, u"25% done"},
      {1024, 2048, 50, u"50% done"},
      {2048, 2048, 100, u"100% done"},
      {0, 2048, 0, u"0% done"},
      // a half goes to the even neighbour
      {1, 200, 0, u"0% done"},
      {3, 200, 2, u"2% done"},
      {5, 200, 2, u"2% done"},
      {7, 200, 4, u"4% done"},
      {199, 200, 100, u"100% done"},  // 99.5
      // kept within 0 to 100
      {4096, 2048, 100, u"100% done"},
      {-5, 2048, 0, u"0% done"},
      // sizes of 2 GiB and more
      {int64_t(3) << 31, int64_t(6) << 31, 50, u"50% done"},
      {LLONG_MAX, LLONG_MAX, 100, u"100% done"},
      {LLONG_MAX / 4, LLONG_MAX, 25, u"25% done"},
  };
  for (const auto& c : cases) {
    const TDownloadProgress p = DownloadProgress(c.count, c.size);
    EXPECT_EQ(p.Position, c.position) << c.count << " of " << c.size;
    EXPECT_EQ(p.Caption, c.caption) << c.count << " of " << c.size;
  }
}

TEST(DownloadProgress, UnknownSizeShowsKilobytes) {
  struct Case {
    int64_t count, size;
    String caption;
  } cases[] = {
      {0, 0, u"0 KB"},
      {1023, 0, u"0 KB"},
      {1024, 0, u"1 KB"},
      {5 * 1024 * 1024, -1, u"5120 KB"},
      {int64_t(5) << 40, 0, u"5368709120 KB"},
      {-1, 0, u"0 KB"},
  };
  for (const auto& c : cases) {
    const TDownloadProgress p = DownloadProgress(c.count, c.size);
    EXPECT_EQ(p.Position, 0) << c.count;
    EXPECT_EQ(p.Caption, c.caption) << c.count;
  }
}
