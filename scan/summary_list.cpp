#include "scan/summary_list.h"

#include "base/text.h"

StringView TSummaryList::KeyOf(StringView Ext) {
  if (CaseSensitive()) return Ext;
  keyBuffer_.assign(Ext);
  for (Char& c : keyBuffer_) {
    if (c >= u'A' && c <= u'Z') c = Char(c + (u'a' - u'A'));
  }
  return keyBuffer_;
}

TExtenSumm& TSummaryList::Remember(StringView Key, TExtenSumm& Summ) {
  lookup_.emplace(String(Key), &Summ);
  return Summ;
}

int TSummaryList::CompareStrings(StringView a, StringView b) const {
  const int r = TStringList::CompareStrings(a, b);
  if (r != 0 || !CaseSensitive()) return r;
  return CompareStr(a, b);
}
