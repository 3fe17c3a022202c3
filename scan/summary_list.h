// The summary list: extensions with their owned records, kept in the user locale's
// collation; with case counting, texts the locale ranks equal are told apart by
// their code units so that distinct extensions never merge.
#pragma once

#include <memory>
#include <unordered_map>
#include <utility>

#include "base/string_list.h"
#include "scan/exten_summ.h"

class TSummaryList : public TStringList {
public:
  String ClassName() const override { return u"TSummaryList"; }
  TExtenSumm& Summ(int index) const { return static_cast<TExtenSumm&>(*Objects(index)); }

  // The key an extension (without its dot) is counted under: ASCII lower case when
  // the list ignores case. The view lasts until the next call.
  StringView KeyOf(StringView Ext);
  // The record counted under Key. When the list has none, a new one with Ext set is
  // handed to Fill and then joins the list. A key met before costs one hash lookup.
  // Records stay where they are while they are in the list, so sorting keeps the
  // lookup valid; whatever removes or replaces one drops it.
  template <class TFill>
  TExtenSumm& FindOrAdd(StringView Key, TFill&& Fill) {
    if (auto known = lookup_.find(Key); known != lookup_.end()) return *known->second;
    int index;
    if (Find(Key, index)) return Remember(Key, Summ(index));
    auto fresh = std::make_unique<TExtenSumm>();
    fresh->Ext = String(Key);
    std::forward<TFill>(Fill)(*fresh);
    TExtenSumm& summ = *fresh;
    AddObject(summ.Ext, std::move(fresh));
    return Remember(Key, summ);
  }

protected:
  int CompareStrings(StringView a, StringView b) const override;
  void EntriesInvalidated() override { lookup_.clear(); }

private:
  TExtenSumm& Remember(StringView Key, TExtenSumm& Summ);

  struct TextHash {
    using is_transparent = void;
    size_t operator()(StringView s) const { return std::hash<StringView>{}(s); }
  };
  // Records by the exact key text.
  std::unordered_map<String, TExtenSumm*, TextHash, std::equal_to<>> lookup_;
  String keyBuffer_;  // reused so that counting a file allocates nothing
};
