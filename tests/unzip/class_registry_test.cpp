#include "unzip/class_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "unzip/object_list.h"
#include "unzip/sorted_zip.h"

namespace {

class TStoredItem : public TObject {
public:
  String ClassName() const override { return u"TStoredItem"; }
  int32_t value = 0;
};

class TUnregistered : public TObject {
public:
  String ClassName() const override { return u"TUnregistered"; }
};

class TLongNamed : public TObject {
public:
  String ClassName() const override { return String(128, u'N'); }
};

class TValueList : public TSortedObjectList {
public:
  using TSortedObjectList::TSortedObjectList;
  int Compare(TListKey a, TListKey b) const override {
    const int32_t va = static_cast<const TStoredItem*>(static_cast<const TObject*>(a))->value;
    const int32_t vb = static_cast<const TStoredItem*>(static_cast<const TObject*>(b))->value;
    return va < vb ? -1 : va > vb ? 1 : 0;
  }
};

class TRecordingFiler : public TPropertyFiler {
public:
  void DefineBinaryProperty(const String& n, std::function<void(TStream&)> r,
                            std::function<void(TStream&)> w, bool data) override {
    name = n;
    reader = std::move(r);
    writer = std::move(w);
    hasData = data;
  }
  String name;
  std::function<void(TStream&)> reader, writer;
  bool hasData = false;
};

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> v;
  for (int x : values) v.push_back(uint8_t(x));
  return v;
}

void AppendName(std::vector<uint8_t>& v, const std::u16string& name) {
  v.push_back(uint8_t(name.size() * 2));
  for (Char c : name) {
    v.push_back(uint8_t(c));
    v.push_back(uint8_t(c >> 8));
  }
}

void AppendItem(std::vector<uint8_t>& v, int32_t value) {
  AppendName(v, u"TStoredItem");
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(uint32_t(value) >> (8 * i)));
}

TMemoryStream StreamOf(const std::vector<uint8_t>& bytes) {
  TMemoryStream s;
  if (!bytes.empty()) s.Write(bytes.data(), int32_t(bytes.size()));
  s.SetPosition(0);
  return s;
}

TStoredItem* Item(const TObjectList& list, int i) { return static_cast<TStoredItem*>(list.Get(i)); }

// The list module started and shut down around a test, as the programs do it.
class RegistryStarted {
public:
  RegistryStarted() { CreateClassRegistry(); }
  ~RegistryStarted() { FreeClassRegistry(); }
  RegistryStarted(const RegistryStarted&) = delete;
  RegistryStarted& operator=(const RegistryStarted&) = delete;
};

// Stores the list through the filer and loads the bytes into a fresh list.
class ClassRegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(ClassRegistry(), nullptr);
    ASSERT_TRUE(RegisterZipClass(
        u"TStoredItem", [] { return std::make_unique<TStoredItem>(); },
        [](TObject& obj, TStream& s) { s.ReadBuffer(&static_cast<TStoredItem&>(obj).value, 4); },
        [](const TObject& obj, TStream& s) {
          s.WriteBuffer(&static_cast<const TStoredItem&>(obj).value, 4);
        }));
    RegisterZipClass(String(128, u'N'), [] { return std::make_unique<TLongNamed>(); }, nullptr,
                     nullptr);
  }
  static TStoredItem* NewItem(int32_t value) {
    auto* item = new TStoredItem;
    item->value = value;
    return item;
  }
  RegistryStarted registry;
};

// The registry is made at the module's start-up and freed, with what its entries hold,
// at its shut-down; outside that time nothing is registered.
TEST(ClassRegistryLifetime, ExistsFromStartUpToShutDown) {
  ASSERT_EQ(ClassRegistry(), nullptr);
  EXPECT_EQ(FindClassRec(u"TStoredItem"), nullptr);
  EXPECT_THROW(RegisterZipClass(u"TStoredItem", nullptr, nullptr, nullptr), EListError);
  EXPECT_FALSE(UnregisterZipClass(u"TStoredItem"));

  auto held = std::make_shared<int>(0);
  const std::weak_ptr<int> watch = held;
  CreateClassRegistry();
  TStringList* registry = ClassRegistry();
  ASSERT_NE(registry, nullptr);
  EXPECT_TRUE(registry->Sorted());
  EXPECT_FALSE(registry->CaseSensitive());
  EXPECT_EQ(registry->Duplicates(), TDuplicates::dupIgnore);
  EXPECT_TRUE(RegisterZipClass(
      u"TStoredItem", [held] { return std::make_unique<TStoredItem>(); }, nullptr, nullptr));
  held.reset();
  CreateClassRegistry();  // a second start keeps what is there
  EXPECT_EQ(ClassRegistry(), registry);
  EXPECT_NE(FindClassRec(u"TStoredItem"), nullptr);

  FreeClassRegistry();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(ClassRegistry(), nullptr);
  EXPECT_EQ(FindClassRec(u"TStoredItem"), nullptr);
  FreeClassRegistry();

  CreateClassRegistry();
  EXPECT_EQ(ClassRegistry()->Count(), 0);
  FreeClassRegistry();
}

// As in the programs: the registry is there and empty. Without it the same errors come.
TEST(ClassRegistryEmpty, StoringAndLoadingNeedRegisteredClasses) {
  RegistryStarted registry;
  TObjectList list;
  TRecordingFiler filer;
  list.DefineProperties(filer);
  EXPECT_EQ(filer.name, u"ObjectContainer");
  EXPECT_FALSE(filer.hasData);  // an empty list stores nothing

  list.Add(new TUnregistered);
  list.DefineProperties(filer);
  EXPECT_TRUE(filer.hasData);
  TMemoryStream out;
  try {
    filer.writer(out);
    FAIL() << "no exception";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), u"Source Class <TUnregistered> not registered");
  }

  TObjectList withNil;
  withNil.Add(nullptr);
  TMemoryStream out2;
  try {
    withNil.SaveToStream(out2);
    FAIL() << "no exception";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), u"Nil Source Class!");
  }

  std::vector<uint8_t> stored = Bytes({1, 1, 0, 0, 0});
  AppendName(stored, u"TUnknown");
  TMemoryStream in = StreamOf(stored);
  TObjectList loaded;
  try {
    loaded.LoadFromStream(in);
    FAIL() << "no exception";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), u"Class <TUnknown> not registered");
  }
  EXPECT_EQ(loaded.Count(), 0);
}

TEST_F(ClassRegistryTest, LookupIgnoresCaseAndKeepsTheFirstEntry) {
  EXPECT_NE(FindClassRec(u"tstoreditem"), nullptr);
  EXPECT_EQ(FindClassRec(u"TStoredItemX"), nullptr);
  EXPECT_FALSE(RegisterZipClass(u"TSTOREDITEM", nullptr, nullptr, nullptr));
  TObjectReadProc read;
  std::unique_ptr<TObject> obj = CreateRegisteredObject(u"TStoredItem", read);
  EXPECT_EQ(obj->ClassName(), u"TStoredItem");
  EXPECT_EQ(static_cast<TStoredItem&>(*obj).value, 0);
  EXPECT_TRUE(read);
  EXPECT_THROW(CreateRegisteredObject(u"Nope", read), EClassNotFound);
}

TEST_F(ClassRegistryTest, ListRoundTrip) {
  TObjectList list;
  for (int32_t v : {7, -1, 0x01020304}) list.Add(NewItem(v));
  TRecordingFiler filer;
  list.DefineProperties(filer);
  TMemoryStream out;
  filer.writer(out);
  std::vector<uint8_t> expected = Bytes({1, 3, 0, 0, 0});
  for (int32_t v : {7, -1, 0x01020304}) AppendItem(expected, v);
  EXPECT_EQ(out.Bytes(), expected);

  TObjectList loaded;
  loaded.Add(NewItem(99));  // items already there stay
  out.SetPosition(0);
  loaded.LoadFromStream(out);
  EXPECT_TRUE(loaded.OwnsItems());
  ASSERT_EQ(loaded.Count(), 4);
  EXPECT_EQ(Item(loaded, 0)->value, 99);
  EXPECT_EQ(Item(loaded, 3)->value, 0x01020304);
}

TEST_F(ClassRegistryTest, SortedListStoresItsModeAndAppliesIt) {
  TValueList list(TListDuplicates::ldAccept);
  for (int32_t v : {5, 3, 5}) list.Add(NewItem(v));
  TMemoryStream out;
  list.SaveToStream(out);
  EXPECT_EQ(out.Bytes()[0], 1);  // ldAccept
  EXPECT_EQ(out.Bytes()[1], 1);  // owns items

  // The stored mode replaces the list's; here ldIgnore drops (and frees) the twin.
  std::vector<uint8_t> stored = Bytes({0, 1, 3, 0, 0, 0});
  for (int32_t v : {5, 3, 5}) AppendItem(stored, v);
  TMemoryStream in = StreamOf(stored);
  TValueList loaded(TListDuplicates::ldError);
  loaded.LoadFromStream(in);
  EXPECT_EQ(loaded.Duplicates(), TListDuplicates::ldIgnore);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(Item(loaded, 0)->value, 3);
  EXPECT_EQ(Item(loaded, 1)->value, 5);
}

TEST_F(ClassRegistryTest, DamagedStoredDataRaises) {
  std::vector<uint8_t> oddLength = Bytes({1, 1, 0, 0, 0, 21});
  std::vector<uint8_t> shortName = Bytes({1, 1, 0, 0, 0, 22, 'T', 0});
  std::vector<uint8_t> shortData = Bytes({1, 1, 0, 0, 0});
  AppendName(shortData, u"TStoredItem");
  shortData.push_back(1);  // one of four value bytes
  // A huge count with no records behind it: nothing may be allocated from it.
  std::vector<uint8_t> hugeCount = Bytes({1, 0xFF, 0xFF, 0xFF, 0x7F});
  AppendItem(hugeCount, 1);
  std::vector<uint8_t> badOwns = Bytes({2, 0, 0, 0, 0});
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    bool readError;  // EReadError (short input) rather than another EStreamError
  } cases[] = {
      {"odd length", oddLength, false},   {"short name", shortName, true},
      {"short data", shortData, true},    {"huge count", hugeCount, true},
      {"owns flag 2", badOwns, false},    {"no count", Bytes({1, 0}), true},
  };
  for (const auto& c : cases) {
    TMemoryStream in = StreamOf(c.bytes);
    TObjectList list;
    try {
      list.LoadFromStream(in);
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const EReadError&) {
      EXPECT_TRUE(c.readError) << c.what;
    } catch (const EStreamError&) {
      EXPECT_FALSE(c.readError) << c.what;
    }
    EXPECT_LT(list.Capacity(), 100) << c.what;
  }
  TMemoryStream badMode = StreamOf(Bytes({3, 1, 0, 0, 0, 0}));
  TValueList sorted(TListDuplicates::ldAccept);
  EXPECT_THROW(sorted.LoadFromStream(badMode), EStreamError);
  EXPECT_EQ(sorted.Duplicates(), TListDuplicates::ldAccept);
}

TEST_F(ClassRegistryTest, AFailedLoadKeepsWhatWasRead) {
  std::vector<uint8_t> stored = Bytes({1, 3, 0, 0, 0});
  AppendItem(stored, 1);
  AppendItem(stored, 2);
  AppendName(stored, u"TMissing");
  TMemoryStream in = StreamOf(stored);
  TObjectList list;
  EXPECT_THROW(list.LoadFromStream(in), EClassNotFound);
  EXPECT_EQ(list.Count(), 2);
}

// The objects a load creates, and those the list owned before it, have no other
// owner: stored data may not make the list stop owning them. Nor may it make a list
// own the items it only borrows, which their owner frees.
TEST_F(ClassRegistryTest, StoredOwnsFlagKeepsOwnershipSound) {
  const struct {
    const char* what;
    bool ownsBefore;
    int itemsBefore;
    uint8_t storedOwns;
    int stored;
    bool refused;
  } cases[] = {
      {"not owning, records", true, 0, 0, 2, true},
      {"not owning, owned items before", true, 1, 0, 0, true},
      {"not owning, both", true, 1, 0, 1, true},
      {"not owning, nothing to own", true, 0, 0, 0, false},
      {"not owning, borrowed items", false, 1, 0, 0, false},
      {"owning, records", true, 0, 1, 2, false},
      {"owning, borrowed items", false, 1, 1, 1, true},
      {"owning, an empty view", false, 0, 1, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> stored = Bytes({c.storedOwns, c.stored, 0, 0, 0});
    for (int i = 0; i < c.stored; ++i) AppendItem(stored, 10 + i);
    TMemoryStream in = StreamOf(stored);
    TStoredItem borrowed;
    TObjectList list;
    for (int i = 0; i < c.itemsBefore; ++i) list.Add(c.ownsBefore ? NewItem(i) : &borrowed);
    list.SetOwnsItems(c.ownsBefore);
    if (c.refused) {
      EXPECT_THROW(list.LoadFromStream(in), EStreamError);
      EXPECT_EQ(list.Count(), c.itemsBefore);
      EXPECT_EQ(list.OwnsItems(), c.ownsBefore);
    } else {
      list.LoadFromStream(in);
      EXPECT_EQ(list.Count(), c.itemsBefore + c.stored);
      EXPECT_EQ(list.OwnsItems(), c.storedOwns == 1);
    }
  }
  // A refused block leaves a sorted list's mode as it was.
  std::vector<uint8_t> stored = Bytes({0, 0, 1, 0, 0, 0});
  AppendItem(stored, 1);
  TMemoryStream in = StreamOf(stored);
  TValueList sorted(TListDuplicates::ldAccept);
  EXPECT_THROW(sorted.LoadFromStream(in), EStreamError);
  EXPECT_EQ(sorted.Duplicates(), TListDuplicates::ldAccept);
  EXPECT_TRUE(sorted.OwnsItems());
}

// A registered class that is not an entry header is refused before the entry list
// holds it, so that the loader, which frees it, leaves nothing behind in the list.
TEST_F(ClassRegistryTest, EntryListRefusesObjectsThatAreNotHeaders) {
  std::vector<uint8_t> stored = Bytes({uint8_t(TListDuplicates::ldError), 1, 1, 0, 0, 0});
  AppendItem(stored, 1);
  TMemoryStream in = StreamOf(stored);
  TSortedZip list(TListDuplicates::ldError);
  EXPECT_THROW(list.LoadFromStream(in), EInvalidCast);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ClassRegistryTest, NamesOverThe127CharacterLimitAreRefused) {
  TLongNamed obj;
  TMemoryStream out;
  EXPECT_THROW(WriteObject(&obj, out), EStreamError);
  EXPECT_EQ(out.Size(), 0);
}

}  // namespace
