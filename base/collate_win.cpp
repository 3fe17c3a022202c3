#include <windows.h>

#include <climits>

#include "base/collate.h"
#include "base/text.h"
#include "base/win_string.h"

int CollateStrings(StringView a, StringView b, bool caseSensitive) {
  if (a.size() > size_t(INT_MAX) || b.size() > size_t(INT_MAX)) return CompareStr(a, b);
  // Empty texts still pass valid pointers.
  static const wchar_t kEmpty[1] = {0};
  const wchar_t* pa = a.empty() ? kEmpty : reinterpret_cast<const wchar_t*>(a.data());
  const wchar_t* pb = b.empty() ? kEmpty : reinterpret_cast<const wchar_t*>(b.data());
  const int r = CompareStringW(LOCALE_USER_DEFAULT, caseSensitive ? 0 : NORM_IGNORECASE, pa,
                               int(a.size()), pb, int(b.size()));
  if (r == 0) return CompareStr(a, b);  // the call failed: keep a total order
  return r - CSTR_EQUAL;
}
