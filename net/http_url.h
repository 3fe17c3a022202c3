// http and https addresses, split for WinHTTP.
#pragma once

#include <cstdint>

#include "base/string.h"

struct THttpUrl {
  bool Secure = false;
  String Host;  // an IPv6 literal keeps its brackets
  uint16_t Port = 80;
  String PathAndQuery;  // at least "/"; the fragment is dropped
};

// Accepts "http://" or "https://" (any case), a host of ASCII letters, digits, '-',
// '.', '_' or a bracketed IPv6 literal, an optional port 1 to 65535, then a path and
// query. Characters outside ASCII in the path and query are sent as percent-encoded
// UTF-8. User names, blanks and control characters are refused. Raises EHttpError.
THttpUrl ParseHttpUrl(StringView url);
