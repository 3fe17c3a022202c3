#include "base/string_list.h"

#include <algorithm>
#include <utility>

#include "base/codepage.h"
#include "base/collate.h"
#include "base/exception.h"
#include "base/file_stream.h"
#include "base/format.h"
#include "base/messages.h"
#include "base/stream.h"

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(base_text::kListIndexError, {index}));
}

const String& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[size_t(index)].text;
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[size_t(index)].object;
}

void TStringList::SetObject(int index, TObject* object) {
  CheckIndex(index);
  Item& item = items_[size_t(index)];
  if (item.owned && item.owned.get() == object) return;  // the same object stays owned
  item.owned.reset();
  item.object = object;
  EntriesInvalidated();
}

void TStringList::SetObject(int index, std::unique_ptr<TObject> object) {
  CheckIndex(index);
  Item& item = items_[size_t(index)];
  item.object = object.get();
  item.owned = std::move(object);
  EntriesInvalidated();
}

int TStringList::AddItem(Item item) {
  int index = Count();
  if (sorted_) {
    if (Find(item.text, index)) {
      if (duplicates_ == TDuplicates::dupIgnore) return index;
      if (duplicates_ == TDuplicates::dupError) throw EListError(base_text::kDuplicateString);
    }
  }
  InsertItem(index, std::move(item));
  return index;
}

void TStringList::InsertItem(int index, Item item) {
  items_.insert(items_.begin() + index, std::move(item));
}

int TStringList::Add(const String& s) { return AddItem(Item{s, nullptr, nullptr}); }

int TStringList::AddObject(const String& s, TObject* object) {
  return AddItem(Item{s, object, nullptr});
}

int TStringList::AddObject(const String& s, std::unique_ptr<TObject> object) {
  TObject* raw = object.get();
  return AddItem(Item{s, raw, std::move(object)});
}

void TStringList::Insert(int index, const String& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const String& s, TObject* object) {
  if (sorted_) throw EListError(base_text::kSortedListError);
  if (index < 0 || index > Count()) throw EListError(Format(base_text::kListIndexError, {index}));
  InsertItem(index, Item{s, object, nullptr});
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
  EntriesInvalidated();
}

void TStringList::Clear() {
  items_.clear();
  EntriesInvalidated();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

void TStringList::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TStringList*>(&source)) {
    if (other == this) return;
    Clear();
    AddStrings(*other);
    return;
  }
  TPersistent::Assign(source);
}

void TStringList::AddStrings(const TStringList& other) {
  if (&other == this) {
    const int n = Count();
    for (int i = 0; i < n; ++i) AddObject(String(items_[size_t(i)].text), items_[size_t(i)].object);
    return;
  }
  for (const Item& item : other.items_) AddObject(item.text, item.object);
}

bool TStringList::Find(StringView s, int& index) const {
  if (!sorted_) {
    index = IndexOf(s);
    return index >= 0;
  }
  bool found = false;
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(items_[size_t(mid)].text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        // With duplicates accepted, go on to the first of the equal entries.
        if (duplicates_ != TDuplicates::dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int TStringList::IndexOf(StringView s) const {
  if (sorted_) {
    int index;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(items_[size_t(i)].text, s) == 0) return i;
  return -1;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) SortItems();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) SortItems();
  EntriesInvalidated();
}

int TStringList::CompareItems(TStringList& list, int index1, int index2) {
  return list.CompareStrings(list.items_[size_t(index1)].text, list.items_[size_t(index2)].text);
}

void TStringList::SortItems() {
  if (Count() > 1) QuickSort(0, Count() - 1, &TStringList::CompareItems);
}

void TStringList::CustomSort(TStringListSortCompare compare) {
  if (!sorted_ && compare && Count() > 1) QuickSort(0, Count() - 1, compare);
}

void TStringList::QuickSort(int lo, int hi, TStringListSortCompare compare) {
  // Hoare partition around the middle entry, whose index is followed as it moves.
  // The smaller side recurses and the larger one loops, so the depth stays
  // logarithmic; the scans are bounded, so an inconsistent comparator cannot run
  // them off the range.
  while (lo < hi) {
    int i = lo, j = hi, p = lo + (hi - lo) / 2;
    do {
      while (i < hi && compare(*this, i, p) < 0) ++i;
      while (j > lo && compare(*this, j, p) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(items_[size_t(i)], items_[size_t(j)]);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) QuickSort(lo, j, compare);
      lo = i;
    } else {
      if (i < hi) QuickSort(i, hi, compare);
      hi = j;
    }
  }
}

int TStringList::CompareStrings(StringView a, StringView b) const {
  return CollateStrings(a, b, caseSensitive_);
}

String TStringList::Text() const {
  size_t length = 0;
  for (const Item& item : items_) length += item.text.size() + 2;
  String out;
  out.reserve(length);
  for (const Item& item : items_) {
    out += item.text;
    out += u"\r\n";
  }
  return out;
}

void TStringList::SetText(StringView text) {
  Clear();
  size_t start = 0;
  const size_t n = text.size();
  while (start < n) {
    size_t end = start;
    while (end < n && text[end] != u'\r' && text[end] != u'\n') ++end;
    Add(String(text.substr(start, end - start)));
    if (end < n) end += (text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? 2 : 1;
    start = end;
  }
}

namespace {
constexpr int32_t kChunk = 64 * 1024;

String DecodeUtf16LE(std::string_view bytes) {
  String out;
  out.reserve(bytes.size() / 2 + 1);
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2)
    out.push_back(Char(static_cast<unsigned char>(bytes[i]) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  if (i < bytes.size()) out.push_back(Char(0xFFFD));  // an odd last byte
  return out;
}

void WriteAll(TStream& stream, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const int32_t n = int32_t(std::min<size_t>(bytes.size() - done, size_t(kChunk)));
    stream.WriteBuffer(bytes.data() + done, n);
    done += size_t(n);
  }
}
}  // namespace

void TStringList::LoadFromStream(TStream& stream, TTextEncoding encoding) {
  // Read until the stream has no more, growing as the data arrives.
  std::string bytes;
  std::vector<char> chunk(static_cast<size_t>(kChunk));
  for (;;) {
    const int32_t n = stream.Read(chunk.data(), kChunk);
    if (n <= 0) break;
    bytes.append(chunk.data(), size_t(n));
  }
  std::string_view view(bytes);
  if (view.size() >= 3 && view.substr(0, 3) == "\xEF\xBB\xBF") {
    SetText(FromUtf8(view.substr(3)));
  } else if (view.size() >= 2 && view.substr(0, 2) == "\xFF\xFE") {
    SetText(DecodeUtf16LE(view.substr(2)));
  } else if (encoding == TTextEncoding::Utf8) {
    SetText(FromUtf8(view));
  } else if (encoding == TTextEncoding::Utf16LE) {
    SetText(DecodeUtf16LE(view));
  } else {
    SetText(FromAnsi(view));
  }
}

void TStringList::SaveToStream(TStream& stream, TTextEncoding encoding) const {
  const String text = Text();
  std::string bytes;
  switch (encoding) {
    case TTextEncoding::Utf8: bytes = "\xEF\xBB\xBF" + ToUtf8(text); break;
    case TTextEncoding::Utf16LE:
      bytes.reserve(2 + text.size() * 2);
      bytes += "\xFF\xFE";
      for (const Char c : text) {
        bytes.push_back(char(c & 0xFF));
        bytes.push_back(char(c >> 8));
      }
      break;
    case TTextEncoding::Ansi:
    default: bytes = ToAnsi(text); break;
  }
  WriteAll(stream, bytes);
}

void TStringList::LoadFromFile(const String& fileName, TTextEncoding encoding) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file, encoding);
}

void TStringList::SaveToFile(const String& fileName, TTextEncoding encoding) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file, encoding);
}
