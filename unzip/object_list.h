// The zip component's own lists of object references: TObjectList, which by default
// owns (frees) its items, and TSortedObjectList, kept in the order of Compare.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/exception.h"
#include "base/object.h"
#include "base/stream.h"
#include "unzip/property_filer.h"

// Calling an operation a class does not supply.
QZ_DECLARE_EXCEPTION(EAbstractError, Exception);

enum class TListDuplicates : uint8_t { ldIgnore = 0, ldAccept = 1, ldError = 2 };
enum class TNeighbour : uint8_t { nbPrevious = 0, nbNext = 1 };

// A key has the size of an object reference; by default it is the object itself.
using TListKey = const void*;

class TObjectList : public TPersistent {
public:
  static constexpr int32_t kMaxCapacity = 536870910;
  // The name under which a list stores its items inside a persistent object.
  static constexpr const Char* kPropertyName = u"ObjectContainer";

  TObjectList();
  // Frees the items when OwnsItems, then the storage.
  ~TObjectList() override;
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;
  String ClassName() const override { return u"TObjectList"; }

  bool OwnsItems() const { return FOwnsItems; }
  void SetOwnsItems(bool owns) { FOwnsItems = owns; }
  int32_t Count() const { return FCount; }
  int32_t Capacity() const { return FCapacity; }

  // Index errors raise EListError "List index out of bounds (%d)".
  TObject* Get(int32_t index) const;
  TObject* operator[](int32_t index) const { return Get(index); }
  void SetCapacity(int32_t newCapacity);
  // Growing fills the new slots with nullptr; shrinking frees nothing.
  void SetCount(int32_t newCount);
  // FreeItem for every item, then Clear.
  void FreeAll();

  // Replaces the reference at Index; the replaced object is not freed.
  virtual void Put(int32_t index, TObject* obj);
  // Frees Obj when the list owns its items.
  virtual void FreeItem(TObject* obj);
  // Appends and returns the position. A sorted list inserts in order and returns 0,
  // or -1 when its ldIgnore mode dropped Obj (which then stays the caller's).
  virtual int32_t Add(TObject* obj);
  // Empties the storage without freeing items.
  virtual void Clear();
  virtual int32_t IndexOf(const TObject* obj) const;
  virtual void Insert(int32_t index, TObject* obj);
  // The "ObjectContainer" form (see class_registry.h for the item records). Loading
  // takes the stored owns flag, but refuses (EStreamError) a "does not own" while
  // the list would hold objects it owns: the ones read, or its own from before.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;
  TObject* First() const;
  TObject* Last() const;
  // The item before or after Obj, nullptr past either end; Obj nullptr gives First
  // (nbNext) or Last (nbPrevious). EListError "tObject %s not in item list" when
  // IndexOf does not find Obj.
  virtual TObject* Neighbour(const TObject* obj, TNeighbour direction) const;

  // Hands an object to the list: stored (and owned) or, when a sorted list drops it,
  // freed; returns the stored object or nullptr. Needs OwnsItems (EListError else).
  template <typename T>
  T* AddOwned(std::unique_ptr<T> obj) {
    T* raw = obj.get();
    return AddOwnedObject(std::unique_ptr<TObject>(std::move(obj))) ? raw : nullptr;
  }

  // Declares "ObjectContainer", with data only when the list has items.
  virtual void DefineProperties(TPropertyFiler& filer);

protected:
  // Raises EListError "List index out of bounds (%d)".
  [[noreturn]] virtual void IndexError(int32_t index) const;
  virtual void Grow();
  // The list's own part of the stored form; a sorted list puts its mode first.
  void SaveItems(TStream& stream) const;
  // HeadAccepted runs once the stored owns flag and count passed their checks, before
  // the list changes.
  void LoadItems(TStream& stream, const std::function<void()>& headAccepted = {});

  bool FOwnsItems = true;

private:
  bool AddOwnedObject(std::unique_ptr<TObject> obj);
  static std::unique_ptr<TObject*[]> AllocItems(int32_t count);

  std::unique_ptr<TObject*[]> FItems;
  int32_t FCount = 0;
  int32_t FCapacity = 0;
};

class TSortedObjectList : public TObjectList {
public:
  explicit TSortedObjectList(TListDuplicates duplicates);
  String ClassName() const override { return u"TSortedObjectList"; }
  TListDuplicates Duplicates() const { return FDuplicates; }

  // Raises EListError "Cannot <Put> an Object in a sorted list!".
  void Put(int32_t index, TObject* obj) override;
  int32_t Add(TObject* obj) override;
  // Index is not used: the position comes from Search. An equal key: ldIgnore
  // leaves the list as it was, ldError raises EListError "Duplicate Object index",
  // ldAccept inserts before the equal items.
  void Insert(int32_t index, TObject* obj) override;
  // The position of an item whose key equals Obj's key, -1 when none.
  int32_t IndexOf(const TObject* obj) const override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;

  virtual TListKey KeyOf(const TObject* obj) const { return obj; }
  // Negative, 0 or positive as Key1 sorts before, with or after Key2. Descendants
  // supply it; this one raises EAbstractError.
  virtual int Compare(TListKey key1, TListKey key2) const;
  // Binary search: True when an item equals Key; Index is its position (with
  // ldAccept the first of equal items) or where Key would go.
  virtual bool Search(TListKey key, int32_t& index) const;

protected:
  TListDuplicates FDuplicates;
};
