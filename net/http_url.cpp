#include "net/http_url.h"

#include "base/format.h"
#include "base/text.h"
#include "net/http_errors.h"
#include "net/net_texts.h"

namespace {

[[noreturn]] void BadUrl(StringView url) { throw EHttpError(Format(net_text::kBadUrl, {url})); }

bool IsHostChar(Char c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'-' || c == u'.' || c == u'_';
}

bool IsIpv6Char(Char c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') ||
         c == u':' || c == u'.';
}

String PercentEncodeNonAscii(StringView s) {
  String out;
  for (unsigned char b : ToUtf8(s)) {
    if (b < 0x80) {
      out.push_back(Char(b));
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out.push_back(u'%');
      out.push_back(Char(kHex[b >> 4]));
      out.push_back(Char(kHex[b & 15]));
    }
  }
  return out;
}

}  // namespace

THttpUrl ParseHttpUrl(StringView url) {
  for (Char c : url) {
    if (c <= 0x20 || c == 0x7F) BadUrl(url);
  }
  THttpUrl out;
  StringView rest;
  if (url.size() >= 7 && SameText(url.substr(0, 7), u"http://")) {
    rest = url.substr(7);
  } else if (url.size() >= 8 && SameText(url.substr(0, 8), u"https://")) {
    out.Secure = true;
    out.Port = 443;
    rest = url.substr(8);
  } else {
    BadUrl(url);
  }

  const size_t authorityEnd = rest.find_first_of(u"/?#");
  StringView authority = rest.substr(0, authorityEnd);
  StringView tail = authorityEnd == StringView::npos ? StringView() : rest.substr(authorityEnd);

  StringView portText;
  bool hasPort = false;
  if (!authority.empty() && authority.front() == u'[') {
    const size_t close = authority.find(u']');
    if (close == StringView::npos || close < 3) BadUrl(url);
    for (Char c : authority.substr(1, close - 1)) {
      if (!IsIpv6Char(c)) BadUrl(url);
    }
    out.Host = String(authority.substr(0, close + 1));
    StringView after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != u':') BadUrl(url);
      hasPort = true;
      portText = after.substr(1);
    }
  } else {
    const size_t colon = authority.find(u':');
    StringView host = authority.substr(0, colon);
    if (host.empty()) BadUrl(url);
    for (Char c : host) {
      if (!IsHostChar(c)) BadUrl(url);
    }
    out.Host = String(host);
    if (colon != StringView::npos) {
      hasPort = true;
      portText = authority.substr(colon + 1);
    }
  }
  if (hasPort) {
    if (portText.empty() || portText.size() > 5) BadUrl(url);
    uint32_t port = 0;
    for (Char c : portText) {
      if (c < u'0' || c > u'9') BadUrl(url);
      port = port * 10 + uint32_t(c - u'0');
    }
    if (port == 0 || port > 65535) BadUrl(url);
    out.Port = uint16_t(port);
  }

  const size_t fragment = tail.find(u'#');
  tail = tail.substr(0, fragment);
  out.PathAndQuery = PercentEncodeNonAscii(tail);
  if (out.PathAndQuery.empty() || out.PathAndQuery.front() != u'/') {
    out.PathAndQuery = u"/" + out.PathAndQuery;
  }
  return out;
}
