// What the command line stub (command_line_stub_win.cpp) records beside itself: one
// UTF-8 file whose first line is the whole command line as the system handed it over,
// followed by the arguments after the stub's own path, one a line.
#pragma once

#include <string>

#include "base/string.h"

inline const String kCommandLineRecord = u"command_line.txt";
// Written before the record above: the id of the process that started the stub, in
// decimal.
inline const String kStarterRecord = u"started_by.txt";

// The record without its first line: the arguments, each ended by "\n".
inline std::string RecordedArguments(const std::string& record) {
  const size_t end = record.find('\n');
  return end == std::string::npos ? std::string() : record.substr(end + 1);
}
