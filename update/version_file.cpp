#include "update/version_file.h"

#include "base/format.h"
#include "base/text.h"
#include "common/xr_misc_text.h"
#include "update/update_texts.h"
#include "update/version_compare.h"

TUpdateActionKind TActionLine::Kind() const {
  switch (Code) {
    case 1:
      return TUpdateActionKind::Message;
    case 2:
      return TUpdateActionKind::Question;
    case 3:
      return TUpdateActionKind::Open;
    case 5:
    case 6:
      return TUpdateActionKind::Install;
    default:
      return TUpdateActionKind::None;
  }
}

TActionLine ParseActionLine(StringView line) {
  TActionLine a;
  a.Always = StrToIntDef(GetToken(line, 1, u'|'), 0) == 1;
  a.Code = StrToIntDef(GetToken(line, 2, u'|'), 0);
  a.Argument = GetToken(line, 3, u'|');
  a.Caption = GetToken(line, 4, u'|');
  return a;
}

bool IsOpenableTarget(StringView target) {
  for (const Char* scheme : update_name::kOpenableSchemes) {
    const StringView s(scheme);
    if (target.size() > s.size() && SameText(target.substr(0, s.size()), s)) return true;
  }
  return false;
}

bool IsUsableVersionFile(const TStringList& lines) {
  for (int i = 0; i < lines.Count(); ++i) {
    if (!Trim(lines[i]).empty()) return true;
  }
  return false;
}

TVersionFileRun::TVersionFileRun(const TStringList& lines, StringView runningVersion) {
  for (int i = 0; i < lines.Count(); ++i) lines_.push_back(lines[i]);
  newer_ = IsNewerVersion(lines_.empty() ? StringView() : StringView(lines_[0]), runningVersion);
}

std::optional<TActionLine> TVersionFileRun::Next() {
  while (!stopped_ && next_ < lines_.size()) {
    TActionLine a = ParseActionLine(lines_[next_++]);
    if (!a.Always && !newer_) continue;
    if (a.Kind() == TUpdateActionKind::None) continue;
    // A refused target is not opened, so nothing was carried out.
    if (a.Kind() == TUpdateActionKind::Open && !IsOpenableTarget(a.Argument)) continue;
    carriedOut_ = true;
    return a;
  }
  return std::nullopt;
}

bool TVersionFileRun::ShowLatestVersionBox() const { return !stopped_ && !newer_ && !carriedOut_; }
