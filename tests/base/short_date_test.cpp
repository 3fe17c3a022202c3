#include <gtest/gtest.h>

#include "base/short_date.h"

namespace {

struct Case {
  const char16_t* format;
  const char16_t* text;
  bool read;
  int year, month, day;
};

TEST(ShortDate, ReadsInTheOrderOfTheFormat) {
  const Case cases[] = {
      // day, month, year
      {u"dd/MM/yyyy", u"03/04/2021", true, 2021, 4, 3},
      {u"dd.MM.yyyy", u"31.12.1999", true, 1999, 12, 31},
      {u"d-M-yyyy", u"7-11-2030", true, 2030, 11, 7},
      // month, day, year
      {u"M/d/yyyy", u"03/04/2021", true, 2021, 3, 4},
      {u"MM/dd/yyyy", u"12/31/1999", true, 1999, 12, 31},
      // year, month, day
      {u"yyyy-MM-dd", u"2021-03-04", true, 2021, 3, 4},
      {u"yyyy/M/d", u"1601/1/1", true, 1601, 1, 1},
      {u"yy.MM.dd", u"21.03.04", true, 2021, 3, 4},
      // any accepted separator between the numbers, whatever the format has
      {u"dd/MM/yyyy", u"3.4-2021", true, 2021, 4, 3},
      {u"dd/MM/yyyy", u"3 4 2021", true, 2021, 4, 3},
      {u"dd/MM/yyyy", u" 3/4/2021 ", true, 2021, 4, 3},
      // letters other than d, M and y in the format do not count
      {u"dd/MM/yyyy gg", u"03/04/2021", true, 2021, 4, 3},
  };
  for (const Case& c : cases) {
    TDateParts date;
    ASSERT_EQ(ParseShortDate(c.text, c.format, date), c.read)
        << ToUtf8(c.format) << " " << ToUtf8(c.text);
    EXPECT_EQ(date.Year, c.year) << ToUtf8(c.format) << " " << ToUtf8(c.text);
    EXPECT_EQ(date.Month, c.month) << ToUtf8(c.format) << " " << ToUtf8(c.text);
    EXPECT_EQ(date.Day, c.day) << ToUtf8(c.format) << " " << ToUtf8(c.text);
  }
}

TEST(ShortDate, ShortYearsFallIn1950To2049) {
  const Case cases[] = {
      {u"d/M/yy", u"1/1/49", true, 2049, 1, 1},
      {u"d/M/yy", u"1/1/50", true, 1950, 1, 1},
      {u"d/M/yy", u"1/1/00", true, 2000, 1, 1},
      {u"d/M/yy", u"1/1/99", true, 1999, 1, 1},
      {u"d/M/yy", u"1/1/7", true, 2007, 1, 1},
      // four digits are taken as they stand, even in a two-digit format
      {u"d/M/yy", u"1/1/0049", false, 0, 0, 0},
      {u"d/M/yy", u"1/1/1949", true, 1949, 1, 1},
      // three digits are no short year
      {u"d/M/yy", u"1/1/999", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TDateParts date;
    ASSERT_EQ(ParseShortDate(c.text, c.format, date), c.read) << ToUtf8(c.text);
    EXPECT_EQ(date.Year, c.year) << ToUtf8(c.text);
  }
}

TEST(ShortDate, RefusesWhatIsNoDate) {
  struct Bad {
    const char16_t* format;
    const char16_t* text;
  } cases[] = {
      {u"dd/MM/yyyy", u""},
      {u"dd/MM/yyyy", u"not a date"},
      {u"dd/MM/yyyy", u"3/4"},
      {u"dd/MM/yyyy", u"3/4/2021/5"},
      {u"dd/MM/yyyy", u"3/4/2021x"},
      {u"dd/MM/yyyy", u"3:4:2021"},
      {u"dd/MM/yyyy", u"3/4/20211"},   // five digits
      {u"dd/MM/yyyy", u"00003/4/2021"},
      // day and month out of range, in each order
      {u"dd/MM/yyyy", u"0/4/2021"},
      {u"dd/MM/yyyy", u"3/0/2021"},
      {u"dd/MM/yyyy", u"3/13/2021"},
      {u"M/d/yyyy", u"13/3/2021"},
      {u"yyyy-MM-dd", u"2021-13-01"},
      {u"yyyy-MM-dd", u"2021-04-31"},
      {u"dd/MM/yyyy", u"32/1/2021"},
      // leap days
      {u"dd/MM/yyyy", u"29/2/2023"},
      {u"dd/MM/yyyy", u"29/2/1900"},
      {u"dd/MM/yyyy", u"30/2/2024"},
      // years out of range
      {u"dd/MM/yyyy", u"31/12/1600"},
      {u"dd/MM/yyyy", u"1/1/0100"},
      // a format without all three fields
      {u"dd/MM", u"3/4/2021"},
      {u"MMMM yyyy", u"3/4/2021"},
      {u"", u"3/4/2021"},
  };
  for (const Bad& c : cases) {
    TDateParts date{1, 2, 3};
    EXPECT_FALSE(ParseShortDate(c.text, c.format, date)) << ToUtf8(c.format) << " " << ToUtf8(c.text);
    EXPECT_EQ(date.Year, 1);
    EXPECT_EQ(date.Month, 2);
    EXPECT_EQ(date.Day, 3);
  }
  TDateParts date;
  EXPECT_TRUE(ParseShortDate(u"29/2/2000", u"dd/MM/yyyy", date));
  EXPECT_TRUE(ParseShortDate(u"29/2/2024", u"dd/MM/yyyy", date));
  EXPECT_TRUE(ParseShortDate(u"31/12/9999", u"dd/MM/yyyy", date));
}

TEST(ShortDate, TakesTheSeparatorsGiven) {
  TDateParts date;
  EXPECT_TRUE(ParseShortDate(u"3:4:2021", u"d:M:yyyy", date, u":"));
  EXPECT_EQ(date.Month, 4);
  EXPECT_FALSE(ParseShortDate(u"3/4/2021", u"d:M:yyyy", date, u":"));
}

}  // namespace
