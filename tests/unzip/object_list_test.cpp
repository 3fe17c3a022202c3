#include "unzip/object_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts live instances, so tests see what a list frees.
class TTracked : public TObject {
public:
  TTracked(int key, int& alive) : key_(key), alive_(alive) { ++alive_; }
  ~TTracked() override { --alive_; }
  String ClassName() const override { return u"TTracked"; }
  int Key() const { return key_; }

private:
  int key_;
  int& alive_;
};

class TKeyedList : public TSortedObjectList {
public:
  using TSortedObjectList::TSortedObjectList;
  int Compare(TListKey a, TListKey b) const override {
    const int ka = static_cast<const TTracked*>(static_cast<const TObject*>(a))->Key();
    const int kb = static_cast<const TTracked*>(static_cast<const TObject*>(b))->Key();
    return ka < kb ? -1 : ka > kb ? 1 : 0;
  }
};

std::vector<int> Keys(const TObjectList& list) {
  std::vector<int> keys;
  for (int32_t i = 0; i < list.Count(); ++i) keys.push_back(static_cast<TTracked*>(list.Get(i))->Key());
  return keys;
}

int IndexInMessage(const EListError& e) {
  const String& m = e.Message();
  const size_t open = m.rfind(u'(');
  return std::stoi(ToUtf8(m.substr(open + 1)));
}

TEST(ObjectList, EmptyListErrors) {
  TObjectList list;
  const struct {
    const char* what;
    std::function<void()> call;
    int index;
  } cases[] = {
      {"First", [&] { list.First(); }, 0},
      {"Last", [&] { list.Last(); }, -1},
      {"Neighbour next", [&] { list.Neighbour(nullptr, TNeighbour::nbNext); }, 0},
      {"Neighbour previous", [&] { list.Neighbour(nullptr, TNeighbour::nbPrevious); }, -1},
      {"Get", [&] { list.Get(0); }, 0},
      {"Insert past the end", [&] { list.Insert(1, nullptr); }, 1},
      {"Put", [&] { list.Put(0, nullptr); }, 0},
      {"SetCount below 0", [&] { list.SetCount(-1); }, -1},
      {"SetCapacity too large", [&] { list.SetCapacity(TObjectList::kMaxCapacity + 1); },
       TObjectList::kMaxCapacity + 1},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(IndexInMessage(e), c.index) << c.what;
      EXPECT_EQ(e.Message().substr(0, 22), u"List index out of boun") << c.what;
    }
  }
  EXPECT_EQ(list.IndexOf(nullptr), -1);
  EXPECT_EQ(list.Count(), 0);
}

// Growth in proportion to the capacity: a long list is reallocated (and copied) a
// logarithmic number of times, not once every square root of its size.
TEST(ObjectList, CapacityGrowsGeometrically) {
  TObjectList list;
  list.SetOwnsItems(false);
  std::vector<int32_t> capacities;
  int dummy = 0;
  for (int i = 0; i < 1000000; ++i) {
    list.Add(reinterpret_cast<TObject*>(&dummy));
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  ASSERT_GE(capacities.size(), 7u);
  EXPECT_EQ(std::vector<int32_t>(capacities.begin(), capacities.begin() + 7),
            (std::vector<int32_t>{4, 8, 16, 24, 36, 54, 81}));
  EXPECT_LT(capacities.size(), 40u);
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(ObjectList, InsertPutAndIndexOf) {
  int alive = 0;
  TObjectList list;
  auto* a = new TTracked(1, alive);
  auto* b = new TTracked(2, alive);
  auto* c = new TTracked(3, alive);
  EXPECT_EQ(list.Add(a), 0);
  list.Insert(1, c);  // at Count: appends
  list.Insert(1, b);
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(list.IndexOf(c), 2);
  EXPECT_EQ(list.Neighbour(a, TNeighbour::nbNext), b);
  EXPECT_EQ(list.Neighbour(a, TNeighbour::nbPrevious), nullptr);
  EXPECT_EQ(list.Neighbour(c, TNeighbour::nbNext), nullptr);
  EXPECT_EQ(list.Neighbour(nullptr, TNeighbour::nbPrevious), c);
  TTracked stranger(9, alive);
  try {
    list.Neighbour(&stranger, TNeighbour::nbNext);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), u"tObject TTracked not in item list");
  }
  // Put does not free what it replaces.
  list.Put(1, &stranger);
  EXPECT_EQ(alive, 4);
  list.Put(1, b);
  list.SetCount(5);
  EXPECT_EQ(list.Get(4), nullptr);
  list.SetCount(3);
}

TEST(ObjectList, ClearKeepsItemsDestroyFreesThem) {
  int alive = 0;
  std::vector<std::unique_ptr<TObject>> reclaimed;
  {
    TObjectList list;
    for (int i = 0; i < 3; ++i) list.Add(new TTracked(i, alive));
    for (int i = 0; i < 3; ++i) reclaimed.emplace_back(list.Get(i));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
  }
  EXPECT_EQ(alive, 3);  // neither Clear nor the emptied list freed them
  reclaimed.clear();
  {
    TObjectList list;
    for (int i = 0; i < 3; ++i) list.Add(new TTracked(i, alive));
    EXPECT_EQ(alive, 3);
  }
  EXPECT_EQ(alive, 0);
  {
    TTracked kept(1, alive);
    {
      TObjectList view;
      view.SetOwnsItems(false);
      view.Add(&kept);
    }
    EXPECT_EQ(alive, 1);
  }
}

TEST(SortedObjectList, DuplicateModes) {
  int alive = 0;
  {
    TKeyedList ignore(TListDuplicates::ldIgnore);
    EXPECT_EQ(ignore.Add(new TTracked(5, alive)), 0);
    EXPECT_EQ(ignore.Add(new TTracked(1, alive)), 0);  // position 0, but Add answers 0 anyway
    EXPECT_EQ(ignore.Add(new TTracked(9, alive)), 0);
    auto dropped = std::make_unique<TTracked>(5, alive);
    EXPECT_EQ(ignore.Add(dropped.get()), -1);  // says so; stays the caller's
    EXPECT_EQ(Keys(ignore), (std::vector<int>{1, 5, 9}));
    EXPECT_EQ(ignore.AddOwned(std::make_unique<TTracked>(9, alive)), nullptr);  // freed
    EXPECT_NE(ignore.AddOwned(std::make_unique<TTracked>(7, alive)), nullptr);
    EXPECT_EQ(alive, 5);
  }
  EXPECT_EQ(alive, 0);
  {
    TKeyedList accept(TListDuplicates::ldAccept);
    auto* older = new TTracked(4, alive);
    auto* newer = new TTracked(4, alive);
    accept.Add(new TTracked(2, alive));
    accept.Add(older);
    accept.Add(new TTracked(8, alive));
    accept.Add(newer);
    EXPECT_EQ(Keys(accept), (std::vector<int>{2, 4, 4, 8}));
    EXPECT_EQ(accept.Get(1), newer);  // a new equal item goes first
    EXPECT_EQ(accept.IndexOf(older), 1);  // the first equal key, not older itself
  }
  {
    TKeyedList error(TListDuplicates::ldError);
    error.Add(new TTracked(3, alive));
    auto twin = std::make_unique<TTracked>(3, alive);
    try {
      error.Add(twin.get());
      FAIL() << "no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), u"Duplicate Object index");
    }
    EXPECT_EQ(error.Count(), 1);
    try {
      error.Put(0, twin.get());
      FAIL() << "no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), u"Cannot <Put> an Object in a sorted list!");
    }
  }
  EXPECT_EQ(alive, 0);
}

TEST(SortedObjectList, SearchPositions) {
  int alive = 0;
  TKeyedList list(TListDuplicates::ldAccept);
  int32_t index = -7;
  TTracked probe(4, alive);
  EXPECT_FALSE(list.Search(&probe, index));
  EXPECT_EQ(index, 0);
  for (int k : {2, 4, 4, 4, 8}) list.Add(new TTracked(k, alive));
  const struct {
    int key;
    bool found;
    int32_t index;
  } cases[] = {{1, false, 0}, {2, true, 0}, {3, false, 1}, {4, true, 1}, {5, false, 4},
               {8, true, 4},  {9, false, 5}};
  for (const auto& c : cases) {
    TTracked key(c.key, alive);
    EXPECT_EQ(list.Search(&key, index), c.found) << c.key;
    EXPECT_EQ(index, c.index) << c.key;
    EXPECT_EQ(list.IndexOf(&key), c.found ? c.index : -1) << c.key;
  }
  // Insert's position argument is not used.
  list.Insert(0, new TTracked(9, alive));
  EXPECT_EQ(Keys(list).back(), 9);
}

TEST(SortedObjectList, CompareIsAbstract) {
  int alive = 0;
  TSortedObjectList list(TListDuplicates::ldAccept);
  TTracked a(1, alive);
  list.SetOwnsItems(false);
  list.Add(&a);  // an empty list compares nothing
  EXPECT_THROW(list.Add(&a), EAbstractError);
  EXPECT_EQ(list.Count(), 1);
}

TEST(ObjectList, AddOwnedNeedsAnOwningList) {
  int alive = 0;
  TObjectList list;
  list.SetOwnsItems(false);
  EXPECT_THROW(list.AddOwned(std::make_unique<TTracked>(1, alive)), EListError);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
