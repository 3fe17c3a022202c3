// The summary list's keys and its find-or-add lookup.
#include <gtest/gtest.h>

#include "scan/summary_list.h"

namespace {

TEST(SummaryList, KeyOfFollowsTheListsCaseSetting) {
  const struct {
    bool caseSensitive;
    const char16_t* ext;
    const char16_t* key;
  } cases[] = {
      {false, u"TxT", u"txt"},  {false, u"\u00C9A", u"\u00C9a"},  // ASCII letters only
      {false, u"", u""},        {true, u"TxT", u"TxT"},
  };
  for (const auto& c : cases) {
    TSummaryList list;
    list.SetCaseSensitive(c.caseSensitive);
    EXPECT_EQ(String(list.KeyOf(c.ext)), c.key) << c.caseSensitive;
  }
}

TEST(SummaryList, FindOrAddMakesOneRecordAKeyUntilClear) {
  TSummaryList list;
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  int made = 0;
  const auto fill = [&](TExtenSumm& fresh) {
    ++made;
    fresh.FileType = u"type of " + fresh.Ext;
  };
  TExtenSumm& txt = list.FindOrAdd(u"txt", fill);
  EXPECT_EQ(txt.Ext, u"txt");
  EXPECT_EQ(txt.FileType, u"type of txt");
  TExtenSumm& bin = list.FindOrAdd(u"bin", fill);
  EXPECT_EQ(&bin, &list.Summ(0));  // sorted in
  EXPECT_EQ(&list.FindOrAdd(u"txt", fill), &txt);
  TExtenSumm& upper = list.FindOrAdd(u"TXT", fill);  // case counts here
  EXPECT_NE(&upper, &txt);
  EXPECT_EQ(upper.Ext, u"TXT");
  EXPECT_EQ(made, 3);
  ASSERT_EQ(list.Count(), 3);

  // Sorting moves entries, never their records.
  list.SetSorted(false);
  list.Exchange(0, 2);
  EXPECT_EQ(&list.FindOrAdd(u"txt", fill), &txt);
  EXPECT_EQ(made, 3);

  // After Clear every key is new again: nothing handed out before may come back.
  list.Clear();
  list.SetSorted(true);
  TExtenSumm& again = list.FindOrAdd(u"txt", fill);
  EXPECT_EQ(made, 4);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(&again, &list.Summ(0));
}

// Whatever takes a record out of the list or swaps it must not leave it in the lookup,
// where the next file of its kind would count into freed memory.
TEST(SummaryList, FindOrAddNeverHandsOutARecordTheListLetGo) {
  const struct {
    const char* change;
    void (*apply)(TSummaryList&);
  } cases[] = {
      {"Delete", [](TSummaryList& l) { l.Delete(0); }},
      {"SetObject", [](TSummaryList& l) { l.SetObject(0, std::make_unique<TExtenSumm>()); }},
      {"SetCaseSensitive", [](TSummaryList& l) { l.SetCaseSensitive(!l.CaseSensitive()); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    TSummaryList list;
    list.SetSorted(true);
    TExtenSumm* before = &list.FindOrAdd(u"txt", [](TExtenSumm&) {});
    c.apply(list);
    TExtenSumm& after = list.FindOrAdd(u"txt", [](TExtenSumm&) {});
    if (list.Count() == 1 && list.Objects(0) == &after) continue;  // found or made anew
    ADD_FAILURE() << "the lookup kept a record the list let go of " << before;
  }
}

// An entry made by hand (a loaded list) is found, not doubled.
TEST(SummaryList, FindOrAddFindsEntriesAddedWithoutIt) {
  TSummaryList list;
  list.SetSorted(true);
  auto own = std::make_unique<TExtenSumm>();
  own->Ext = u"doc";
  TExtenSumm* added = own.get();
  list.AddObject(u"doc", std::move(own));
  EXPECT_EQ(&list.FindOrAdd(u"doc", [](TExtenSumm&) { FAIL() << "made a second record"; }), added);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
