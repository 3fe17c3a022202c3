// The version file: line 1 the latest version, then action lines
// always|action|argument|caption, and which of them run.
#pragma once

#include <optional>
#include <vector>

#include "base/string.h"
#include "base/string_list.h"

enum class TUpdateActionKind { None, Message, Question, Open, Install };

struct TActionLine {
  bool Always = false;  // the always field reads exactly 1
  int Code = 0;         // not a valid integer: 0
  String Argument;
  String Caption;
  // 1 message, 2 question, 3 open, 5 and 6 install; every other code does nothing.
  TUpdateActionKind Kind() const;
};

// Missing fields are empty; text after a fourth '|' is ignored.
TActionLine ParseActionLine(StringView line);

// Whether the open action may hand Target to the shell: http and https addresses only,
// so that a version file cannot start local programs.
bool IsOpenableTarget(StringView target);

// A fetched or loaded version file with no line that holds anything but blanks is no
// version file: the fetch counts as failed.
bool IsUsableVersionFile(const TStringList& lines);

// One pass over a version file. The caller runs each line that Next hands out and
// reports a question answered No, which ends the pass at once.
class TVersionFileRun {
 public:
  // Lines as fetched (see IsUsableVersionFile); no lines read as an empty line 1.
  TVersionFileRun(const TStringList& lines, StringView runningVersion);

  bool Newer() const { return newer_; }
  // The next line that applies and does something, in file order; none at the end.
  // A line handed out counts as carried out.
  std::optional<TActionLine> Next();
  // After a question: No ends the run; nothing more runs and no closing box shows.
  void AnsweredNo() { stopped_ = true; }
  bool Stopped() const { return stopped_; }
  // At the end of a run that was not stopped: the file is not newer and no line was
  // carried out, so the user is told the version is the latest.
  bool ShowLatestVersionBox() const;

 private:
  std::vector<String> lines_;
  size_t next_ = 1;
  bool newer_ = false;
  bool carriedOut_ = false;
  bool stopped_ = false;
};
