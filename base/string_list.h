// String list: texts with attached objects, optionally kept sorted.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/object.h"
#include "base/string.h"

class TStream;
class TStringList;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// Comparator for CustomSort: negative when the entry at Index1 sorts first.
using TStringListSortCompare = int (*)(TStringList& list, int index1, int index2);

// Encodings for loading and saving text.
enum class TTextEncoding { Ansi, Utf8, Utf16LE };

class TStringList : public TPersistent {
public:
  // An entry holds its object either as a plain reference or, when handed over
  // as a unique_ptr, owned: freed when the entry is deleted or the list goes.
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;
  ~TStringList() override;
  String ClassName() const override { return u"TStringList"; }

  int Count() const { return int(items_.size()); }
  // Index errors raise EListError "List index out of bounds (%d)".
  const String& Strings(int index) const;
  const String& operator[](int index) const { return Strings(index); }
  TObject* Objects(int index) const;
  // Replace the object; an owned old one is freed.
  void SetObject(int index, TObject* object);
  void SetObject(int index, std::unique_ptr<TObject> object);

  // On a sorted list Add inserts at the sorted place (dupIgnore returns the index
  // of the existing entry and adds nothing; dupError raises EListError
  // "String list does not allow duplicates"). Returns the index. When dupIgnore
  // drops the new entry, an owned object handed with it is freed; callers that
  // care compare Objects(result) with what they passed.
  int Add(const String& s);
  int AddObject(const String& s, TObject* object);
  int AddObject(const String& s, std::unique_ptr<TObject> object);
  void Insert(int index, const String& s);  // EListError on a sorted list
  void InsertObject(int index, const String& s, TObject* object);
  void Delete(int index);
  virtual void Clear();
  void Exchange(int index1, int index2);
  // Copies texts and object pointers; the copies only reference the objects.
  void Assign(const TPersistent& source) override;
  void AddStrings(const TStringList& other);

  // Bisection on a sorted list; linear search otherwise (IndexOf).
  bool Find(StringView s, int& index) const;
  int IndexOf(StringView s) const;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);  // sorting on turning it on
  bool CaseSensitive() const { return caseSensitive_; }
  virtual void SetCaseSensitive(bool value);  // re-sorts a sorted list
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates d) { duplicates_ = d; }

  // Quick sort over the comparator: not stable, so equal texts may change places.
  // A list in sorted mode is left alone (its bisection relies on its own order),
  // so switch sorted mode off first; the sorted flag is never changed here.
  void CustomSort(TStringListSortCompare compare);

  // Lines joined with CRLF after each, the last one included.
  String Text() const;
  // Splits at CR LF, CR or LF; a final line break adds no empty line.
  void SetText(StringView text);

  // Load decodes by a BOM when one is there, else by the given encoding.
  void LoadFromStream(TStream& stream, TTextEncoding encoding = TTextEncoding::Ansi);
  void SaveToStream(TStream& stream, TTextEncoding encoding = TTextEncoding::Ansi) const;
  void LoadFromFile(const String& fileName, TTextEncoding encoding = TTextEncoding::Ansi);
  void SaveToFile(const String& fileName, TTextEncoding encoding = TTextEncoding::Ansi) const;

protected:
  // Order of the sorted mode: with CaseSensitive a case-sensitive comparison,
  // else a case-insensitive one. On Windows CompareStringW with the user's
  // default locale; natively an ordinal comparison over the shared case table.
  virtual int CompareStrings(StringView a, StringView b) const;
  // Called after entries left the list, an object was replaced or handed back, or the
  // case setting changed: what a subclass keeps by object or by equality is stale then.
  virtual void EntriesInvalidated() {}

private:
  struct Item {
    String text;
    TObject* object = nullptr;
    std::unique_ptr<TObject> owned;  // set when object is owned
  };
  void CheckIndex(int index) const;
  static int CompareItems(TStringList& list, int index1, int index2);
  void SortItems();
  void QuickSort(int lo, int hi, TStringListSortCompare compare);
  int AddItem(Item item);
  void InsertItem(int index, Item item);

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

using TStrings = TStringList;
