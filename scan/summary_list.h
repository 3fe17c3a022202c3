// The summary list: extensions with their owned records, kept in the user locale's
// collation; with case counting, texts the locale ranks equal are told apart by
// their code units so that distinct extensions never merge.
#pragma once

#include "base/string_list.h"
#include "scan/exten_summ.h"

class TSummaryList : public TStringList {
public:
  String ClassName() const override { return u"TSummaryList"; }
  TExtenSumm& Summ(int index) const { return static_cast<TExtenSumm&>(*Objects(index)); }

protected:
  int CompareStrings(StringView a, StringView b) const override;
};
