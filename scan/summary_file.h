// The saved summary: the grid's texts as tab-separated (TXT) or comma-separated
// (CSV) lines, and writing them so that a failed save leaves no half-written file.
#pragma once

#include <cstdint>
#include <vector>

#include "base/string.h"

enum class TSummaryFormat { Txt, Csv };

// The save dialog's second filter is the comma-separated one.
TSummaryFormat SummaryFormatOfFilter(int FilterIndex);

// What the grid showed: the titles of the columns to write (3 without size data, 7
// with) and the cells of every data row (as many as titles; missing cells read as
// empty).
struct TSummaryTable {
  std::vector<String> Titles;
  std::vector<std::vector<String>> Rows;
};

// The file's lines, without line ends. Titles lose their sort indicator. Extension
// and type name are always quoted in CSV; number cells lose blanks, 'K', 'B' and the
// grouping comma, and the share its '%'. A CSV field holding '"', ',', CR or LF is
// quoted with its quotes doubled; a TXT field has tab, CR and LF turned into blanks.
// DecimalSeparator is the locale's: when it is ',' the comma in a number stays.
std::vector<String> SummaryFileLines(const TSummaryTable& Table, TSummaryFormat Format,
                                     Char DecimalSeparator);

// Writes Lines (each ended by CR LF, in the ANSI code page) to FileName through a
// new temporary file in the same folder that replaces FileName only once complete.
// The replaced file's attributes stay; a symbolic link stays and the file it leads to
// is replaced; a read-only file is refused. Failures raise EInOutError; FileName is
// then left as it was and the temporary file is gone.
void WriteSummaryFile(const String& FileName, const std::vector<String>& Lines);
// The same through a temporary file that the caller made and removes when this
// fails; it must be on FileName's volume and must not be FileName. Attributes, when
// not 0, are given to the file before it replaces FileName.
void WriteSummaryFileVia(const String& TempName, const String& FileName,
                         const std::vector<String>& Lines, uint32_t Attributes = 0);
