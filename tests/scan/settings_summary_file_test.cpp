#include "scan/summary_file.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "tests/testlib/test_files_win.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/import_hook.h"

namespace {

const std::vector<String> kTitlesWithSize = {u"Extension >", u"File Type", u"Count",
                                             u"Total Size (KB)", u"Max Size (KB)",
                                             u"Min Size (KB)", u"% of Total"};
const std::vector<String> kTitlesWithoutSize = {u"Extension", u"File Type", u"Count <"};

std::string Utf8Lines(const std::vector<String>& lines) {
  std::string out;
  for (const String& l : lines) out += ToUtf8(l) + "|";
  return out;
}

// Names of the entries in a folder, "." and ".." left out.
std::vector<String> Entries(const String& dir) {
  std::vector<String> names;
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(W(dir + u"\\*"), &found));
  if (!search) return names;
  do {
    const String name = FromW(found.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(SummaryFileLines, FormatsAsTheGridShowsThem) {
  struct Case {
    const char* name;
    TSummaryFormat format;
    Char decimal;
    std::vector<String> titles;
    std::vector<std::vector<String>> rows;
    std::vector<String> expected;
  } cases[] = {
      {"txt with size data", TSummaryFormat::Txt, u'.', kTitlesWithSize,
       {{u"txt", u"Text Document", u"12", u"35 KB", u"10 KB", u"1 KB", u"4.2%"},
        {u"log", u"Log", u"1,234", u"12,345 KB", u"< 0.1 KB", u"0.0 KB", u"< 0.1%"}},
       {u"Extension\tFile Type\tCount\tTotal Size (KB)\tMax Size (KB)\tMin Size (KB)\t% of Total",
        u"txt\tText Document\t12\t35\t10\t1\t4.2", u"log\tLog\t1234\t12345\t<0.1\t0.0\t< 0.1"}},
      {"csv with size data", TSummaryFormat::Csv, u'.', kTitlesWithSize,
       {{u"txt", u"Text Document", u"12", u"35 KB", u"10 KB", u"1 KB", u"4.2%"}},
       {u"Extension,File Type,Count,Total Size (KB),Max Size (KB),Min Size (KB),% of Total",
        u"\"txt\",\"Text Document\",12,35,10,1,4.2"}},
      {"csv without size data", TSummaryFormat::Csv, u'.', kTitlesWithoutSize,
       {{u"txt", u"Text Document", u"1,000"}},
       {u"Extension,File Type,Count", u"\"txt\",\"Text Document\",1000"}},
      {"txt without size data", TSummaryFormat::Txt, u'.', kTitlesWithoutSize,
       {{u"txt", u"Text Document", u"7"}},
       {u"Extension\tFile Type\tCount", u"txt\tText Document\t7"}},
      {"an empty summary", TSummaryFormat::Csv, u'.', kTitlesWithSize,
       {{u"", u"", u"", u"", u"", u"", u""}},
       {u"Extension,File Type,Count,Total Size (KB),Max Size (KB),Min Size (KB),% of Total",
        u"\"\",\"\",,,,,"}},
      // Quotes, commas and line breaks inside names stay inside their field.
      {"csv odd names", TSummaryFormat::Csv, u'.', kTitlesWithoutSize,
       {{u"a\"b", u"Say \"hi\" File", u"1"}, {u"c,d", u"C,D File", u"2"},
        {u"e", u"Two\r\nLines", u"3"}, {u"f\tg", u"Tab", u"4"}},
       {u"Extension,File Type,Count", u"\"a\"\"b\",\"Say \"\"hi\"\" File\",1",
        u"\"c,d\",\"C,D File\",2", u"\"e\",\"Two\r\nLines\",3", u"\"f\tg\",\"Tab\",4"}},
      // A tab or line break would shift every later column of a tab-separated row.
      {"txt odd names", TSummaryFormat::Txt, u'.', kTitlesWithoutSize,
       {{u"f\tg", u"Tab\tType", u"4"}, {u"e", u"Two\r\nLines", u"3"}, {u"a\"b", u"c,d", u"1"}},
       {u"Extension\tFile Type\tCount", u"f g\tTab Type\t4", u"e\tTwo  Lines\t3",
        u"a\"b\tc,d\t1"}},
      // Where the comma is the decimal mark it is kept, and the field quoted.
      {"csv decimal comma", TSummaryFormat::Csv, u',', kTitlesWithSize,
       {{u"txt", u"T", u"1.234", u"1.234 KB", u"0,5 KB", u"< 0,1 KB", u"12,5%"}},
       {u"Extension,File Type,Count,Total Size (KB),Max Size (KB),Min Size (KB),% of Total",
        u"\"txt\",\"T\",1.234,1.234,\"0,5\",\"<0,1\",\"12,5\""}},
      {"txt decimal comma", TSummaryFormat::Txt, u',', kTitlesWithSize,
       {{u"txt", u"T", u"1.234", u"1.234 KB", u"0,5 KB", u"< 0,1 KB", u"12,5%"}},
       {u"Extension\tFile Type\tCount\tTotal Size (KB)\tMax Size (KB)\tMin Size (KB)\t% of Total",
        u"txt\tT\t1.234\t1.234\t0,5\t<0,1\t12,5"}},
      // A short row reads as empty cells.
      {"missing cells", TSummaryFormat::Txt, u'.', kTitlesWithSize,
       {{u"txt"}},
       {u"Extension\tFile Type\tCount\tTotal Size (KB)\tMax Size (KB)\tMin Size (KB)\t% of Total",
        u"txt\t\t\t\t\t\t"}},
  };
  for (const Case& c : cases) {
    TSummaryTable table{c.titles, c.rows};
    EXPECT_EQ(Utf8Lines(SummaryFileLines(table, c.format, c.decimal)), Utf8Lines(c.expected))
        << c.name;
  }
}

TEST(SummaryFileLines, FilterTwoIsCommaSeparated) {
  EXPECT_EQ(SummaryFormatOfFilter(2), TSummaryFormat::Csv);
  for (int index : {0, 1, 3})
    EXPECT_EQ(SummaryFormatOfFilter(index), TSummaryFormat::Txt) << index;
}

TEST(WriteSummaryFile, WritesAnsiLinesEndedByCrLf) {
  ScratchDir dir("summary_file_ansi");
  const String name = dir / u"out.csv";
  // A longer file of the same name is replaced whole, not overwritten in place.
  WriteBytes(name, std::string(5000, 'x'));
  const TSummaryTable table{kTitlesWithoutSize,
                            {{u"caf\u00e9", u"\u20ac File", u"1"},
                             {u"\u0436", u"\u0416 \U0001F600 File", u"2"}}};
  WriteSummaryFile(name, SummaryFileLines(table, TSummaryFormat::Csv, u'.'));
  // cp1252: e-acute 0xE9, euro 0x80; what it lacks becomes '?', each half of a pair.
  EXPECT_EQ(ReadBytes(name),
            "Extension,File Type,Count\r\n"
            "\"caf\xE9\",\"\x80 File\",1\r\n"
            "\"?\",\"? ?? File\",2\r\n");
  EXPECT_EQ(Entries(dir.Path()), std::vector<String>{u"out.csv"});  // no temporary left
}

TEST(WriteSummaryFile, FailureLeavesTheOldFileAndNoTemporary) {
  ScratchDir dir("summary_file_failures");
  const std::vector<String> lines = {u"new"};

  // A folder that does not exist: nothing is created.
  EXPECT_THROW(WriteSummaryFile(dir / u"missing\\out.txt", lines), EInOutError);
  EXPECT_TRUE(Entries(dir.Path()).empty());

  // A read-only file cannot be replaced: it keeps its bytes, the temporary goes.
  const String locked = dir / u"locked.txt";
  WriteBytes(locked, "old\r\n");
  ASSERT_TRUE(SetFileAttributesW(W(locked), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(WriteSummaryFile(locked, lines), EInOutError);
  EXPECT_EQ(ReadBytes(locked), "old\r\n");
  EXPECT_EQ(Entries(dir.Path()), std::vector<String>{u"locked.txt"});
  SetFileAttributesW(W(locked), FILE_ATTRIBUTE_NORMAL);

  // A folder of the chosen name is not replaced; the written temporary goes.
  ASSERT_TRUE(CreateDirectoryW(W(dir / u"taken.txt"), nullptr));
  EXPECT_THROW(WriteSummaryFile(dir / u"taken.txt", lines), EInOutError);
  EXPECT_EQ(Entries(dir.Path()), (std::vector<String>{u"locked.txt", u"taken.txt"}));
}

TEST(WriteSummaryFile, KeepsTheAttributesOfTheFileItReplaces) {
  ScratchDir dir("summary_file_attributes");
  const String name = dir / u"out.txt";
  constexpr DWORD kShown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  for (const DWORD attributes : {DWORD(FILE_ATTRIBUTE_HIDDEN), kShown, DWORD(0)}) {
    SCOPED_TRACE(attributes);
    SetFileAttributesW(W(name), FILE_ATTRIBUTE_NORMAL);  // a hidden file cannot be rewritten
    WriteBytes(name, "old\r\n");
    ASSERT_TRUE(SetFileAttributesW(W(name), attributes ? attributes : FILE_ATTRIBUTE_NORMAL));
    WriteSummaryFile(name, {u"new"});
    EXPECT_EQ(ReadBytes(name), "new\r\n");
    EXPECT_EQ(GetFileAttributesW(W(name)) & kShown, attributes);
    EXPECT_EQ(Entries(dir.Path()), std::vector<String>{u"out.txt"});
  }
}

TEST(WriteSummaryFile, SavesInAFolderTooLongForSystemTemporaryNames) {
  ScratchDir dir("summary_file_long_folder");
  // Room for the file's name, none for the 14 characters of a system temporary name.
  constexpr size_t kFolderLength = MAX_PATH - 12;
  String folder = dir.Path();
  while (folder.size() < kFolderLength) {
    const size_t room = kFolderLength - folder.size() - 1;
    folder += u'\\';
    folder.append(std::clamp<size_t>(room, 1, 100), u'f');
    ASSERT_TRUE(CreateDirectoryW(W(String(u"\\\\?\\") + folder), nullptr)) << GetLastError();
  }
  const String name = folder + u"\\out.txt";
  ASSERT_GT(folder.size(), size_t(MAX_PATH - 14));
  ASSERT_LT(name.size(), size_t(MAX_PATH));
  WriteBytes(name, "old\r\n");
  WriteSummaryFile(name, {u"new"});
  EXPECT_EQ(ReadBytes(name), "new\r\n");
  EXPECT_EQ(Entries(folder), std::vector<String>{u"out.txt"});
}

TEST(WriteSummaryFile, SavesThroughASymbolicLink) {
  // The link is made by the build (Wine cannot make one): link.txt -> target.txt.
  const String dir = HostPath(QZ_SUMMARY_LINK_DIR);
  const String link = dir + u"\\link.txt";
  const String target = dir + u"\\target.txt";
  WriteBytes(target, "old\r\n");
  ASSERT_EQ(ReadBytes(link), "old\r\n") << "the link is gone: configure the build again";
  WriteSummaryFile(link, {u"new"});
  EXPECT_EQ(ReadBytes(target), "new\r\n");
  // Still a link: what the target holds shows through it.
  WriteBytes(target, "again\r\n");
  EXPECT_EQ(ReadBytes(link), "again\r\n");
  EXPECT_EQ(Entries(dir), (std::vector<String>{u"link.txt", u"target.txt"}));
}

// Every write fails as on a full disk, whatever the disk.
BOOL WINAPI WriteFileOnAFullDisk(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  if (written) *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

TEST(WriteSummaryFile, FullDiskLeavesTheOldFile) {
  struct Case {
    const char* what;
    size_t lines;  // a few stay in the buffer until the close; many are written before
  } cases[] = {{"buffered", 1}, {"written", 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir("summary_file_full");
    const String target = dir / u"out.txt";
    WriteBytes(target, "old\r\n");
    const std::vector<String> lines(c.lines, String(u"a line of the summary"));
    {
      gui_test::ImportHook hook("kernel32.dll", "WriteFile",
                                reinterpret_cast<void*>(&WriteFileOnAFullDisk));
      ASSERT_TRUE(hook.Installed());
      try {
        WriteSummaryFile(target, lines);
        ADD_FAILURE() << "a full disk passed as saved";
      } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), uint32_t(ERROR_DISK_FULL));
      }
    }
    EXPECT_EQ(ReadBytes(target), "old\r\n");
    EXPECT_EQ(Entries(dir.Path()), std::vector<String>{u"out.txt"});  // no temporary file left
  }
}
