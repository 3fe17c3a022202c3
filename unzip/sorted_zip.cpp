#include "unzip/sorted_zip.h"

#include <algorithm>
#include <vector>

#include "base/calendar.h"
#include "base/exception.h"
#include "unzip/unzip_messages.h"
#include "unzip/zip_file_routines.h"
#include "unzip/zip_lib_routines.h"

namespace {

template <typename T>
int ThreeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Days since 1899-12-30 plus the fraction of the day, the programs' date-time value; 0.0 for a DOS value that names no real date.
double DosToDateTime(uint32_t dos) {
  const int sec = int(dos & 0x1F) * 2;
  const int min = int((dos >> 5) & 0x3F);
  const int hour = int((dos >> 11) & 0x1F);
  const int day = int((dos >> 16) & 0x1F);
  const int month = int((dos >> 21) & 0x0F);
  const int year = int((dos >> 25) & 0x7F) + 1980;
  if (month < 1 || month > 12 || day < 1 || hour > 23 || min > 59 || sec > 59) return 0.0;
  if (day > DaysInMonth(year, month)) return 0.0;
  // Days from civil (proleptic Gregorian), shifted to the 1899-12-30 epoch.
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days = long(era) * 146097 + doe - 719468;  // since 1970-01-01
  const double serial = double(days + 25569);
  return serial + (hour * 3600 + min * 60 + sec) / 86400.0;
}

}  // namespace

int CompareByPosition(const TZipHeaderInfo& a, const TZipHeaderInfo& b) {
  const int disk = ThreeWay(a.DiskNumberStart(), b.DiskNumberStart());
  return disk != 0 ? disk : ThreeWay(a.RelativeOffset(), b.RelativeOffset());
}

TSortedZip::TSortedZip(TListDuplicates duplicates, TZipSortMode mode, bool ownsItems)
    : TSortedObjectList(duplicates), SortMode(mode) {
  SetOwnsItems(ownsItems);
}

int32_t TSortedZip::Add(TObject* obj) {
  const int32_t result = TSortedObjectList::Add(obj);
  if (result >= 0 && static_cast<TZipHeaderInfo*>(obj)->HasZip64Info()) HasZip64 = true;
  return result;
}

void TSortedZip::Insert(int32_t index, TObject* obj) {
  // Refused before the list compares or holds it: whoever handed it in frees it.
  if (!dynamic_cast<TZipHeaderInfo*>(obj)) throw EInvalidCast(u"Invalid class typecast");
  TSortedObjectList::Insert(index, obj);
}

int TSortedZip::Compare(TListKey key1, TListKey key2) const {
  const auto& a = *static_cast<const TZipHeaderInfo*>(key1);
  const auto& b = *static_cast<const TZipHeaderInfo*>(key2);
  switch (SortMode) {
    case TZipSortMode::ByName:
      return CompareNoCase(a.Directory + a.FileName, b.Directory + b.FileName);
    case TZipSortMode::ByFileName:
      return CompareNoCase(a.FileName, b.FileName);
    case TZipSortMode::ByDirectoryName:
      return CompareNoCase(a.Directory, b.Directory);
    case TZipSortMode::ByDate:
      return DosToDateTime(b.FileDateTime) > DosToDateTime(a.FileDateTime) ? 1 : -1;
    case TZipSortMode::ByCompressedSize:
      return b.CompressedSize() > a.CompressedSize() ? 1 : -1;
    case TZipSortMode::ByUnCompressedSize:
      return b.UncompressedSize() > a.UncompressedSize() ? 1 : -1;
    case TZipSortMode::ByRate:
      return ThreeWay(Percentage(b.UncompressedSize(), b.CompressedSize()),
                      Percentage(a.UncompressedSize(), a.CompressedSize()));
    case TZipSortMode::ByNone:
      return CompareByPosition(a, b);
  }
  return -1;
}

TZipHeaderInfo& TSortedZip::Header(int32_t index) const {
  return *static_cast<TZipHeaderInfo*>(Get(index));
}

TZipHeaderInfo* TSortedZip::AddHeader(std::unique_ptr<TZipHeaderInfo> header) {
  return AddOwned(std::move(header));
}

void TSortedZip::AddSortedHeaders(std::vector<std::unique_ptr<TZipHeaderInfo>>& headers) {
  if (!OwnsItems() || Count() > 0) throw EListError(io_text::kListDoesNotOwn);
  for (size_t k = 1; k < headers.size(); ++k)
    if (Compare(headers[k - 1].get(), headers[k].get()) >= 0)
      throw EListError(io_text::kDuplicateObject);
  if (headers.size() > size_t(kMaxCapacity))
    IndexError(int32_t(std::min<size_t>(headers.size(), INT32_MAX)));
  SetCapacity(int32_t(headers.size()));
  for (auto& header : headers) {
    if (header->HasZip64Info()) HasZip64 = true;
    TObjectList::Insert(Count(), header.release());
  }
  headers.clear();
}

void TSortedZip::AddShared(TZipHeaderInfo& header) { Add(&header); }

void TSortedZip::AddAllShared(const TSortedZip& source) {
  if (OwnsItems() || Count() > 0) throw EListError(io_text::kListDoesNotOwn);
  struct Item {
    TZipHeaderInfo* header;
    int32_t arrival;
  };
  std::vector<Item> items;
  items.reserve(size_t(source.Count()));
  for (int32_t i = 0; i < source.Count(); ++i) items.push_back({&source.Header(i), i});
  // Adding one at a time puts a later header after an earlier one exactly when Compare
  // of the earlier with the later is negative, else before it.
  std::sort(items.begin(), items.end(), [this](const Item& a, const Item& b) {
    if (a.arrival == b.arrival) return false;
    if (a.arrival < b.arrival) return Compare(a.header, b.header) < 0;
    return Compare(b.header, a.header) >= 0;
  });
  SetCapacity(source.Count());
  for (const Item& item : items) {
    TObjectList::Insert(Count(), item.header);
    if (item.header->HasZip64Info()) HasZip64 = true;
  }
}
