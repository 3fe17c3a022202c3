#include "common/xr_misc_text.h"

#include "base/path.h"

void RemoveSubStr(String& S, StringView Sub, int Count) {
  if (Count <= 0 || Sub.empty()) return;
  // Each pass deletes at least one character, so the loop ends by itself too.
  for (int pass = 0; pass < Count; ++pass) {
    const size_t at = S.find(Sub);
    if (at == String::npos) return;
    S.erase(at, Sub.size());
  }
}

void RemoveLeadingChar(String& S, Char C) {
  if (!S.empty() && S.front() == C) S.erase(0, 1);
}

void RemoveLastChar(String& S) {
  if (!S.empty()) S.pop_back();
}

void RemoveTrailingChar(String& S, Char C) { S.resize(WithoutTrailingSeparator(S, C).size()); }

String RemoveChar(StringView S, Char C) {
  String result;
  result.reserve(S.size());
  for (Char ch : S)
    if (ch != C) result.push_back(ch);
  return result;
}

String RemoveChars(StringView S, const TCharSet& Chars) {
  String result;
  result.reserve(S.size());
  for (Char ch : S)
    if (ch >= 256 || !Chars.test(ch)) result.push_back(ch);
  return result;
}

int LastCharPos(StringView S, Char C) {
  const size_t at = S.rfind(C);
  return at == StringView::npos ? 0 : int(at + 1);
}

String GetToken(StringView S, int N, Char Delim) {
  String result;
  if (S.empty() || N < 1) return result;
  long long field = 1;  // wide enough that no count of delimiters wraps it
  for (Char ch : S) {
    if (ch == Delim) {
      if (++field > N) break;
    } else if (field == N) {
      result.push_back(ch);
    }
  }
  return result;
}

int CountTokens(StringView S, Char Delim) {
  if (S.empty()) return 0;
  int count = 1;
  for (Char ch : S)
    if (ch == Delim) ++count;
  return count;
}

String AfterLastChar(StringView S, Char C) {
  const size_t at = S.rfind(C);
  if (at == StringView::npos) return String(S);
  return String(S.substr(at + 1));
}

String ExtractFileNameNoExt(StringView Path) {
  return String(FileNamePart(WithoutExtension(Path)));
}
