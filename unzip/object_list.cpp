#include "unzip/object_list.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/format.h"
#include "base/messages.h"
#include "unzip/class_registry.h"
#include "unzip/unzip_messages.h"

// ---- TObjectList ----

TObjectList::TObjectList() = default;

TObjectList::~TObjectList() { FreeAll(); }

void TObjectList::IndexError(int32_t index) const {
  throw EListError(Format(io_text::kListIndex, {index}));
}

std::unique_ptr<TObject*[]> TObjectList::AllocItems(int32_t count) {
  if (count <= 0) return nullptr;
  try {
    return std::unique_ptr<TObject*[]>(new TObject*[size_t(count)]());
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(base_text::kOutOfMemory);
  }
}

TObject* TObjectList::Get(int32_t index) const {
  if (index < 0 || index >= FCount) IndexError(index);
  return FItems[index];
}

void TObjectList::SetCapacity(int32_t newCapacity) {
  if (newCapacity == FCapacity) return;
  if (newCapacity < FCount || newCapacity > kMaxCapacity) IndexError(newCapacity);
  std::unique_ptr<TObject*[]> items = AllocItems(newCapacity);
  if (FCount > 0) std::memcpy(items.get(), FItems.get(), size_t(FCount) * sizeof(TObject*));
  FItems = std::move(items);
  FCapacity = newCapacity;
}

void TObjectList::SetCount(int32_t newCount) {
  if (newCount < 0 || newCount > kMaxCapacity) IndexError(newCount);
  if (newCount > FCapacity) SetCapacity(newCount);
  for (int32_t i = FCount; i < newCount; ++i) FItems[i] = nullptr;
  FCount = newCount;
}

void TObjectList::FreeAll() {
  for (int32_t i = 0; i < FCount; ++i) FreeItem(FItems[i]);
  Clear();
}

void TObjectList::Grow() {
  // Past the first steps the capacity grows by half, so that n additions copy O(n)
  // references in all; the last step stops at the largest capacity.
  int64_t capacity;
  if (FCapacity <= 4)
    capacity = FCapacity + 4;
  else if (FCapacity <= 8)
    capacity = FCapacity + 8;
  else
    capacity = FCapacity + FCapacity / 2;
  if (FCapacity < kMaxCapacity) capacity = std::min<int64_t>(capacity, kMaxCapacity);
  SetCapacity(int32_t(capacity));
}

void TObjectList::Put(int32_t index, TObject* obj) {
  if (index < 0 || index >= FCount) IndexError(index);
  FItems[index] = obj;
}

void TObjectList::FreeItem(TObject* obj) {
  if (FOwnsItems) std::unique_ptr<TObject> owned(obj);
}

int32_t TObjectList::Add(TObject* obj) {
  if (FCount == FCapacity) Grow();
  FItems[FCount] = obj;
  return FCount++;
}

void TObjectList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

int32_t TObjectList::IndexOf(const TObject* obj) const {
  for (int32_t i = 0; i < FCount; ++i)
    if (FItems[i] == obj) return i;
  return -1;
}

void TObjectList::Insert(int32_t index, TObject* obj) {
  if (index < 0 || index > FCount) IndexError(index);
  if (FCount == FCapacity) Grow();
  if (index < FCount)
    std::memmove(&FItems[index + 1], &FItems[index], size_t(FCount - index) * sizeof(TObject*));
  FItems[index] = obj;
  ++FCount;
}

TObject* TObjectList::First() const { return Get(0); }

TObject* TObjectList::Last() const { return Get(FCount - 1); }

TObject* TObjectList::Neighbour(const TObject* obj, TNeighbour direction) const {
  if (!obj) return direction == TNeighbour::nbNext ? First() : Last();
  const int32_t index = IndexOf(obj);
  if (index < 0) throw EListError(Format(io_text::kNotInList, {obj->ClassName()}));
  const int32_t other = index + (direction == TNeighbour::nbNext ? 1 : -1);
  return other >= 0 && other < FCount ? FItems[other] : nullptr;
}

bool TObjectList::AddOwnedObject(std::unique_ptr<TObject> obj) {
  if (!FOwnsItems) throw EListError(io_text::kListDoesNotOwn);
  const int32_t position = Add(obj.get());
  if (position < 0) return false;  // dropped: freed here
  obj.release();
  return true;
}

void TObjectList::DefineProperties(TPropertyFiler& filer) {
  filer.DefineBinaryProperty(
      kPropertyName, [this](TStream& s) { LoadFromStream(s); },
      [this](TStream& s) { SaveToStream(s); }, FCount > 0);
}

void TObjectList::SaveItems(TStream& stream) const {
  uint8_t head[5];
  head[0] = FOwnsItems ? 1 : 0;
  for (int i = 0; i < 4; ++i) head[1 + i] = uint8_t(uint32_t(FCount) >> (8 * i));
  stream.WriteBuffer(head, 5);
  for (int32_t i = 0; i < FCount; ++i) WriteObject(Get(i), stream);
}

void TObjectList::LoadItems(TStream& stream, const std::function<void()>& headAccepted) {
  uint8_t head[5];
  stream.ReadBuffer(head, 5);
  if (head[0] > 1) throw EStreamError(Format(io_text::kBadListData, {int(head[0])}));
  const int32_t count =
      int32_t(uint32_t(head[1]) | (uint32_t(head[2]) << 8) | (uint32_t(head[3]) << 16) |
              (uint32_t(head[4]) << 24));
  // Nobody but the list holds the objects read here, nor those it owns already:
  // a stored "does not own" would leave them all unfreed. Items a list only borrows
  // are freed by their owner: a stored "owns" would free them a second time.
  const bool owns = head[0] == 1;
  if (!owns) {
    const int64_t orphaned = int64_t(count > 0 ? count : 0) + (FOwnsItems ? FCount : 0);
    if (orphaned > 0) throw EStreamError(Format(io_text::kStoredListDisowns, {orphaned}));
  } else if (!FOwnsItems && FCount > 0) {
    throw EStreamError(Format(io_text::kStoredListOwns, {FCount}));
  }
  if (headAccepted) headAccepted();
  FOwnsItems = owns;
  // The count is not trusted for allocation: the list grows as records arrive.
  for (int32_t i = 0; i < count; ++i) {
    std::unique_ptr<TObject> obj = ReadObject(stream);
    if (Add(obj.get()) >= 0) obj.release();  // a dropped duplicate is freed here
  }
}

void TObjectList::SaveToStream(TStream& stream) const { SaveItems(stream); }

void TObjectList::LoadFromStream(TStream& stream) { LoadItems(stream); }

// ---- TSortedObjectList ----

TSortedObjectList::TSortedObjectList(TListDuplicates duplicates) : FDuplicates(duplicates) {}

void TSortedObjectList::Put(int32_t, TObject*) { throw EListError(io_text::kPutSorted); }

int32_t TSortedObjectList::Add(TObject* obj) {
  const int32_t before = Count();
  Insert(0, obj);
  return Count() > before ? 0 : -1;
}

void TSortedObjectList::Insert(int32_t, TObject* obj) {
  int32_t position = 0;
  if (Search(KeyOf(obj), position)) {
    if (FDuplicates == TListDuplicates::ldIgnore) return;
    if (FDuplicates == TListDuplicates::ldError) throw EListError(io_text::kDuplicateObject);
  }
  TObjectList::Insert(position, obj);
}

int32_t TSortedObjectList::IndexOf(const TObject* obj) const {
  int32_t position = 0;
  return Search(KeyOf(obj), position) ? position : -1;
}

int TSortedObjectList::Compare(TListKey, TListKey) const {
  throw EAbstractError(io_text::kAbstractError);
}

bool TSortedObjectList::Search(TListKey key, int32_t& index) const {
  int32_t low = 0;
  int32_t high = Count() - 1;
  bool found = false;
  while (low <= high) {
    const int32_t mid = int32_t((uint32_t(low) + uint32_t(high)) >> 1);
    const int c = Compare(KeyOf(Get(mid)), key);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != TListDuplicates::ldAccept) low = mid;
      }
    }
  }
  index = low;
  return found;
}

void TSortedObjectList::SaveToStream(TStream& stream) const {
  const uint8_t mode = uint8_t(FDuplicates);
  stream.WriteBuffer(&mode, 1);
  SaveItems(stream);
}

void TSortedObjectList::LoadFromStream(TStream& stream) {
  uint8_t mode = 0;
  stream.ReadBuffer(&mode, 1);
  if (mode > 2) throw EStreamError(Format(io_text::kBadListData, {int(mode)}));
  LoadItems(stream, [this, mode] { FDuplicates = TListDuplicates(mode); });
}
