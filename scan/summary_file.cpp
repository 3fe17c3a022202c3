#include "scan/summary_file.h"

#include <windows.h>

#include <vector>

#include "base/in_out_error.h"
#include "base/text.h"
#include "base/text_file.h"
#include "base/win_string.h"
#include "common/xr_misc_text.h"

namespace {

constexpr int kCsvFilterIndex = 2;
constexpr size_t kExtensionColumn = 0;
constexpr size_t kTypeColumn = 1;
constexpr size_t kFirstNumberColumn = 2;
constexpr size_t kLastSizeColumn = 5;
constexpr size_t kShareColumn = 6;
constexpr size_t kColumnsWithSize = 7;

TCharSet CharsOf(StringView chars) {
  TCharSet set;
  for (Char c : chars) set.set(c);
  return set;
}

bool NeedsCsvQuotes(StringView field) {
  return field.find_first_of(u"\",\r\n") != StringView::npos;
}

String Quoted(StringView field) {
  String result = u"\"";
  for (Char c : field) {
    if (c == u'"') result += u'"';
    result += c;
  }
  result += u'"';
  return result;
}

// One field ready for the line: CSV quoting, or TXT with no tab or line break left
// inside it (either would shift every later column of the row).
String Field(StringView text, TSummaryFormat format, bool alwaysQuote) {
  if (format == TSummaryFormat::Csv)
    return alwaysQuote || NeedsCsvQuotes(text) ? Quoted(text) : String(text);
  String result(text);
  for (Char& c : result)
    if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
  return result;
}

const String& CellOf(const std::vector<String>& row, size_t col) {
  static const String empty;
  return col < row.size() ? row[col] : empty;
}

}  // namespace

TSummaryFormat SummaryFormatOfFilter(int FilterIndex) {
  return FilterIndex == kCsvFilterIndex ? TSummaryFormat::Csv : TSummaryFormat::Txt;
}

std::vector<String> SummaryFileLines(const TSummaryTable& Table, TSummaryFormat Format,
                                     Char DecimalSeparator) {
  const Char separator = Format == TSummaryFormat::Csv ? u',' : u'\t';
  const size_t columns = Table.Titles.size();
  // The comma is dropped as the grouping mark; where it is the decimal mark it stays.
  const TCharSet numberNoise = CharsOf(DecimalSeparator == u',' ? u" BK" : u" ,BK");
  const TCharSet indicators = CharsOf(u"<>");

  std::vector<String> lines;
  lines.reserve(Table.Rows.size() + 1);

  String header;
  for (size_t c = 0; c < columns; ++c) {
    if (c) header += separator;
    header += Field(Trim(RemoveChars(Table.Titles[c], indicators)), Format, false);
  }
  lines.push_back(std::move(header));

  const bool quoteNames = Format == TSummaryFormat::Csv;
  const size_t lastNumber = columns >= kColumnsWithSize ? kLastSizeColumn : kFirstNumberColumn;
  for (const std::vector<String>& row : Table.Rows) {
    String line = Field(CellOf(row, kExtensionColumn), Format, quoteNames);
    line += separator;
    line += Field(CellOf(row, kTypeColumn), Format, quoteNames);
    for (size_t c = kFirstNumberColumn; c <= lastNumber && c < columns; ++c) {
      line += separator;
      line += Field(RemoveChars(CellOf(row, c), numberNoise), Format, false);
    }
    if (columns >= kColumnsWithSize) {
      line += separator;
      line += Field(RemoveChar(CellOf(row, kShareColumn), u'%'), Format, false);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void WriteSummaryFileVia(const String& TempName, const String& FileName,
                         const std::vector<String>& Lines) {
  TTextFile file;
  file.Rewrite(TempName);
  for (const String& line : Lines) file.WriteLine(line);
  file.Close();
  if (!MoveFileExW(W(TempName), W(FileName), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    RaiseInOutError(GetLastError());
}

void WriteSummaryFile(const String& FileName, const std::vector<String>& Lines) {
  if (FileName.empty() || FileName.find(u'\0') != String::npos)
    RaiseInOutError(ERROR_INVALID_NAME);
  std::vector<wchar_t> full(32768);
  wchar_t* namePart = nullptr;
  const DWORD n = GetFullPathNameW(W(FileName), DWORD(full.size()), full.data(), &namePart);
  if (n == 0 || n >= full.size()) RaiseInOutError(n ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
  if (!namePart) RaiseInOutError(ERROR_INVALID_NAME);  // names a folder, not a file
  const String folder = FromW(full.data(), size_t(namePart - full.data()));
  // Replacing goes round the read-only attribute on some systems; refuse as creating would.
  const DWORD existing = GetFileAttributesW(full.data());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
    RaiseInOutError(ERROR_ACCESS_DENIED);
  wchar_t temp[MAX_PATH + 1] = {};
  // Creates the empty temporary file, so no other writer takes the same name.
  if (!GetTempFileNameW(W(folder), L"qzs", 0, temp)) RaiseInOutError(GetLastError());
  const String tempName = FromW(temp);
  try {
    WriteSummaryFileVia(tempName, FileName, Lines);
  } catch (...) {
    DeleteFileW(W(tempName));
    throw;
  }
}
