#include "net/http_text.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/codepage.h"
#include "base/format.h"
#include "base/text.h"
#include "base/win_string.h"
#include "net/http_errors.h"
#include "net/net_texts.h"

namespace {

enum class Decoder { Utf8, Utf16LE, Utf16BE, Cp1252, Cp437, CodePage };

struct CharsetEntry {
  const Char* label;
  Decoder decoder;
  UINT codePage;
};

constexpr CharsetEntry kCharsets[] = {
    {u"utf-8", Decoder::Utf8, 0},
    {u"utf8", Decoder::Utf8, 0},
    {u"unicode-1-1-utf-8", Decoder::Utf8, 0},
    {u"us-ascii", Decoder::Cp1252, 0},
    {u"ascii", Decoder::Cp1252, 0},
    {u"iso-8859-1", Decoder::Cp1252, 0},
    {u"iso8859-1", Decoder::Cp1252, 0},
    {u"iso_8859-1", Decoder::Cp1252, 0},
    {u"latin1", Decoder::Cp1252, 0},
    {u"l1", Decoder::Cp1252, 0},
    {u"windows-1252", Decoder::Cp1252, 0},
    {u"cp1252", Decoder::Cp1252, 0},
    {u"x-cp1252", Decoder::Cp1252, 0},
    {u"utf-16", Decoder::Utf16LE, 0},
    {u"utf-16le", Decoder::Utf16LE, 0},
    {u"utf-16be", Decoder::Utf16BE, 0},
    {u"ibm437", Decoder::Cp437, 0},
    {u"cp437", Decoder::Cp437, 0},
    {u"windows-1250", Decoder::CodePage, 1250},
    {u"windows-1251", Decoder::CodePage, 1251},
    {u"windows-1253", Decoder::CodePage, 1253},
    {u"windows-1254", Decoder::CodePage, 1254},
    {u"windows-1255", Decoder::CodePage, 1255},
    {u"windows-1256", Decoder::CodePage, 1256},
    {u"windows-1257", Decoder::CodePage, 1257},
    {u"windows-1258", Decoder::CodePage, 1258},
    {u"iso-8859-2", Decoder::CodePage, 28592},
    {u"iso-8859-5", Decoder::CodePage, 28595},
    {u"iso-8859-7", Decoder::CodePage, 28597},
    {u"iso-8859-9", Decoder::CodePage, 28599},
    {u"iso-8859-15", Decoder::CodePage, 28605},
    {u"koi8-r", Decoder::CodePage, 20866},
    {u"koi8-u", Decoder::CodePage, 21866},
    {u"shift_jis", Decoder::CodePage, 932},
    {u"euc-jp", Decoder::CodePage, 20932},
    {u"gb2312", Decoder::CodePage, 936},
    {u"gbk", Decoder::CodePage, 936},
    {u"big5", Decoder::CodePage, 950},
    {u"euc-kr", Decoder::CodePage, 949},
    {u"ibm850", Decoder::CodePage, 850},
};

String DecodeUtf16(std::string_view bytes, bool bigEndian) {
  String out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto lo = uint8_t(bytes[i + (bigEndian ? 1 : 0)]);
    const auto hi = uint8_t(bytes[i + (bigEndian ? 0 : 1)]);
    out.push_back(Char(lo | (hi << 8)));
  }
  if (bytes.size() % 2 != 0) out.push_back(u'\uFFFD');  // a half unit at the end
  return out;
}

// Empty when the system has no such code page.
std::optional<String> DecodeCodePage(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return String();
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  String out(size_t(n), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), W(out.data()), n);
  return out;
}

std::optional<String> Decode(std::string_view bytes, const CharsetEntry& e) {
  switch (e.decoder) {
    case Decoder::Utf8:
      return FromUtf8(bytes);
    case Decoder::Utf16LE:
      return DecodeUtf16(bytes, false);
    case Decoder::Utf16BE:
      return DecodeUtf16(bytes, true);
    case Decoder::Cp1252:
      return DecodeCp1252(bytes);
    case Decoder::Cp437:
      return DecodeCp437(bytes);
    case Decoder::CodePage:
      return DecodeCodePage(bytes, e.codePage);
  }
  return std::nullopt;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

String CharsetOf(StringView contentType) {
  // Parameters follow the media type, each after a ';': name=value or name="value".
  const StringView ct = contentType;
  size_t i = ct.find(u';');
  while (i != StringView::npos) {
    ++i;
    const size_t eq = ct.find_first_of(u"=;", i);
    if (eq == StringView::npos) return String();
    if (ct[eq] == u';') {
      i = eq;
      continue;
    }
    const String name = LowerCase(Trim(ct.substr(i, eq - i)));
    size_t j = eq + 1;
    while (j < ct.size() && (ct[j] == u' ' || ct[j] == u'\t')) ++j;
    String value;
    if (j < ct.size() && ct[j] == u'"') {
      for (++j; j < ct.size() && ct[j] != u'"'; ++j) {
        if (ct[j] == u'\\' && j + 1 < ct.size()) ++j;
        value.push_back(ct[j]);
      }
      i = j < ct.size() ? ct.find(u';', j) : StringView::npos;
    } else {
      const size_t end = ct.find(u';', j);
      value = String(ct.substr(j, end == StringView::npos ? StringView::npos : end - j));
      i = end;
    }
    if (name == u"charset") return LowerCase(Trim(value));
  }
  return String();
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = uint8_t(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int extra;
    uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      cp = b & 0x07;
    } else {
      return false;
    }
    if (i + size_t(extra) >= bytes.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto c = uint8_t(bytes[i + size_t(k)]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += size_t(extra) + 1;
  }
  return true;
}

String DecodeHttpText(std::string_view body, StringView charset, StringView source) {
  if (StartsWith(body, "\xEF\xBB\xBF")) return FromUtf8(body.substr(3));
  if (StartsWith(body, "\xFF\xFE")) return DecodeUtf16(body.substr(2), false);
  if (StartsWith(body, "\xFE\xFF")) return DecodeUtf16(body.substr(2), true);
  if (charset.empty()) return IsValidUtf8(body) ? FromUtf8(body) : DecodeCp1252(body);
  for (const CharsetEntry& e : kCharsets) {
    if (charset != e.label) continue;
    if (std::optional<String> text = Decode(body, e)) return *text;
    break;
  }
  throw EHttpError(Format(net_text::kUnknownCharset, {source, charset}));
}
