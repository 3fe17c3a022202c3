#include "scan/summary_file.h"

#include <windows.h>

#include <vector>

#include "base/in_out_error.h"
#include "base/path.h"
#include "base/text.h"
#include "base/text_file.h"
#include "base/win_handle.h"
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

// Temporary files beside the target: prefix, eight hex digits, extension.
constexpr Char kTempPrefix[] = u"qzs";
constexpr Char kTempExtension[] = u".tmp";
constexpr int kTempNameAttempts = 1000;
// What a replacing file takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;
constexpr DWORD kPathChars = 32768;

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

// The path in its extended-length form ("\\?\C:\..." or "\\?\UNC\server\..."), so
// that names in a folder near the path limit still fit.
String ExtendedLengthPath(const String& full) {
  if (full.starts_with(u"\\\\?\\") || full.starts_with(u"\\\\.\\")) return full;
  if (full.starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + full.substr(2);
  return u"\\\\?\\" + full;
}

// The file a save to FileName writes: its full path, through any symbolic links.
// Attributes are those of that file, or INVALID_FILE_ATTRIBUTES when there is none.
String SaveTarget(const String& FileName, DWORD& attributes) {
  if (FileName.empty() || FileName.find(u'\0') != String::npos)
    RaiseInOutError(ERROR_INVALID_NAME);
  std::vector<wchar_t> path(kPathChars);
  wchar_t* namePart = nullptr;
  const DWORD n = GetFullPathNameW(W(FileName), kPathChars, path.data(), &namePart);
  if (n == 0 || n >= kPathChars) RaiseInOutError(n ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
  if (!namePart) RaiseInOutError(ERROR_INVALID_NAME);  // names a folder, not a file
  const String full = FromW(path.data(), n);
  attributes = GetFileAttributesW(W(full));
  if (attributes == INVALID_FILE_ATTRIBUTES) return ExtendedLengthPath(full);
  UniqueFileHandle existing(CreateFileW(W(full), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
  // What cannot be opened (a link that leads nowhere, say) is left as it is.
  if (!existing) RaiseInOutError(GetLastError());
  const DWORD m = GetFinalPathNameByHandleW(existing.get(), path.data(), kPathChars,
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (m == 0 || m >= kPathChars) RaiseInOutError(m ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
  const String target = ExtendedLengthPath(FromW(path.data(), m));
  attributes = GetFileAttributesW(W(target));
  if (attributes == INVALID_FILE_ATTRIBUTES) RaiseInOutError(GetLastError());
  return target;
}

String HexDigits(uint32_t value) {
  String digits(8, u'0');
  for (int i = 7; i >= 0; --i, value >>= 4) digits[size_t(i)] = u"0123456789ABCDEF"[value & 15];
  return digits;
}

// A new empty file in Folder (with its backslash) under a name nobody else holds.
// Made here rather than by the system's temporary-name routine, which refuses
// folders whose path is near the limit.
String CreateTemporaryFile(const String& folder) {
  const uint32_t start = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const String name = folder + kTempPrefix + HexDigits(start + uint32_t(attempt)) + kTempExtension;
    UniqueFileHandle made(CreateFileW(W(name), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (made) return name;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) RaiseInOutError(error);
  }
  RaiseInOutError(ERROR_FILE_EXISTS);
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
                         const std::vector<String>& Lines, uint32_t Attributes) {
  TTextFile file;
  file.Rewrite(TempName);
  for (const String& line : Lines) file.WriteLine(line);
  file.Close();
  // Only now: a hidden file cannot be rewritten.
  if (Attributes != 0 && !SetFileAttributesW(W(TempName), Attributes))
    RaiseInOutError(GetLastError());
  if (!MoveFileExW(W(TempName), W(FileName), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    RaiseInOutError(GetLastError());
}

void WriteSummaryFile(const String& FileName, const std::vector<String>& Lines) {
  DWORD existing = INVALID_FILE_ATTRIBUTES;
  const String target = SaveTarget(FileName, existing);
  DWORD attributes = 0;
  if (existing != INVALID_FILE_ATTRIBUTES) {
    // Replacing goes round the read-only attribute on some systems; refuse as creating would.
    if (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
      RaiseInOutError(ERROR_ACCESS_DENIED);
    attributes = existing & kKeptAttributes;
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  }
  const String tempName = CreateTemporaryFile(String(FolderPart(target)));
  try {
    WriteSummaryFileVia(tempName, target, Lines, attributes);
  } catch (...) {
    DeleteFileW(W(tempName));
    throw;
  }
}
