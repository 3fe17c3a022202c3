#include "support/xs_unicode.h"

#include <climits>
#include <memory>
#include <string>
#include <utility>

#include "base/win_string.h"
#include "support/xs_sys_info.h"
#include "support/xs_unicode_data.h"

constinit GlobalOwner<TXsCriticalSection> UnicodeDataLock;
TCompareTextProc LocaleCompareText = nullptr;

uint32_t LocaleAnsiCodePage(LCID locale) {
  wchar_t answer[6] = {};
  const int n = GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE, answer, 6);
  if (n <= 1) return GetACP();
  uint32_t codePage = 0;
  for (int i = 0; i < n && answer[i]; ++i) {
    if (answer[i] < L'0' || answer[i] > L'9') return GetACP();
    codePage = codePage * 10 + uint32_t(answer[i] - L'0');
  }
  return codePage;
}

int32_t CompareTextByWide(StringView s1, StringView s2, LCID locale) {
  static const wchar_t kEmpty[] = L"";
  const wchar_t* p1 = s1.empty() ? kEmpty : W(s1.data());
  const wchar_t* p2 = s2.empty() ? kEmpty : W(s2.data());
  return CompareStringW(locale, NORM_IGNORECASE, p1, int(s1.size()), p2, int(s2.size())) - 2;
}

namespace {
// Bytes of S in the code page; a text of a double-byte code page may need more bytes
// than it has code units, so the size is asked for first. False when the text cannot
// be converted (a code page Windows lacks, a text too long for the call).
bool ToCodePage(StringView s, UINT codePage, std::string& bytes) {
  bytes.clear();
  if (s.empty()) return true;
  if (s.size() > size_t(INT_MAX)) return false;
  const int n = WideCharToMultiByte(codePage, 0, W(s.data()), int(s.size()), nullptr, 0,
                                    nullptr, nullptr);
  if (n <= 0) return false;
  bytes.assign(size_t(n), '\0');
  return WideCharToMultiByte(codePage, 0, W(s.data()), int(s.size()), bytes.data(), n, nullptr,
                             nullptr) == n;
}
}  // namespace

int32_t CompareTextByAnsi(StringView s1, StringView s2, LCID locale) {
  const UINT codePage = UINT(LocaleAnsiCodePage(locale) & 0xFFFF);
  std::string b1, b2;
  // Texts that cannot be converted would all read as empty, and so as equal: they are
  // compared as they are instead.
  if (!ToCodePage(s1, codePage, b1) || !ToCodePage(s2, codePage, b2))
    return CompareTextByWide(s1, s2, locale);
  // c_str() is never null, also for empty texts.
  return CompareStringA(locale, NORM_IGNORECASE, b1.c_str(), int(b1.size()), b2.c_str(),
                        int(b2.size())) -
         2;
}

void InitUnicodeSupport() {
  if (!UnicodeDataLock) UnicodeDataLock = std::make_unique<TXsCriticalSection>();
  LocaleCompareText =
      (Win32Platform & 0x2) != 0 ? &CompareTextByWide : &CompareTextByAnsi;
}

void DoneUnicodeSupport() {
  const std::unique_ptr<TXsCriticalSection> lock = UnicodeDataLock.release();
  ReleaseUnicodeDatabase();
}
