#include "base/short_date.h"

#include "base/calendar.h"

bool ParseShortDate(StringView text, StringView format, TDateParts& date, StringView separators) {
  // Order of day, month and year in the format.
  char order[3];
  int k = 0;
  for (size_t i = 0; i < format.size() && k < 3; ++i) {
    const Char f = format[i];
    char c = f == u'd' ? 'd' : f == u'M' ? 'M' : f == u'y' ? 'y' : 0;
    if (c && (k == 0 || order[k - 1] != c)) order[k++] = c;
  }
  if (k != 3) return false;
  int values[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  int field = 0;
  bool inNumber = false;
  for (Char ch : text) {
    if (ch >= u'0' && ch <= u'9') {
      if (!inNumber) {
        if (field == 3) return false;
        inNumber = true;
      }
      if (++digits[field] > 4) return false;
      values[field] = values[field] * 10 + (ch - u'0');
    } else {
      if (inNumber) ++field;
      inNumber = false;
      if (separators.find(ch) == StringView::npos) return false;
    }
  }
  if (inNumber) ++field;
  if (field != 3) return false;
  int day = 0, month = 0, year = 0, yearDigits = 0;
  for (int i = 0; i < 3; ++i) {
    if (order[i] == 'd') day = values[i];
    if (order[i] == 'M') month = values[i];
    if (order[i] == 'y') {
      year = values[i];
      yearDigits = digits[i];
    }
  }
  if (yearDigits <= 2) year += year < 50 ? 2000 : 1900;
  if (month < 1 || month > 12 || day < 1 || year < 1601 || year > 9999) return false;
  if (day > DaysInMonth(year, month)) return false;
  date = TDateParts{year, month, day};
  return true;
}
