#include <windows.h>

#include <climits>

#include "base/codepage.h"
#include "base/exception.h"
#include "base/messages.h"
#include "base/win_string.h"

namespace {
String Decode(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return String();
  if (bytes.size() > size_t(INT_MAX)) throw EOutOfMemory(base_text::kOutOfMemory);
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  if (length <= 0) return String();
  String out(size_t(length), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), W(out.data()), length);
  return out;
}

std::string Encode(UINT codePage, StringView text, bool* lossless) {
  if (lossless) *lossless = true;
  if (text.empty()) return std::string();
  if (text.size() > size_t(INT_MAX)) throw EOutOfMemory(base_text::kOutOfMemory);
  // UTF-8 and a few others refuse the default-character arguments.
  const UINT actual = codePage == CP_ACP ? GetACP() : codePage == CP_OEMCP ? GetOEMCP() : codePage;
  const bool plain = actual == CP_UTF8 || actual == CP_UTF7 || actual == 54936 ||
                     (actual >= 50220 && actual <= 50229) || (actual >= 57002 && actual <= 57011);
  const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int n = int(text.size());
  const int length = WideCharToMultiByte(actual, flags, source, n, nullptr, 0, nullptr, nullptr);
  if (length <= 0) {
    if (lossless) *lossless = false;
    return std::string();
  }
  std::string out(size_t(length), '\0');
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(actual, flags, source, n, out.data(), length, nullptr,
                      plain ? nullptr : &usedDefault);
  if (lossless) *lossless = !usedDefault;
  return out;
}
}  // namespace

String FromAnsi(std::string_view bytes) { return Decode(CP_ACP, bytes); }
std::string ToAnsi(StringView text, bool* lossless) { return Encode(CP_ACP, text, lossless); }
String FromOem(std::string_view bytes) { return Decode(CP_OEMCP, bytes); }
std::string ToOem(StringView text, bool* lossless) { return Encode(CP_OEMCP, text, lossless); }
