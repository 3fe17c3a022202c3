// Turning a response body into text.
#pragma once

#include <string_view>

#include "base/string.h"

// The charset parameter of a Content-Type value, unquoted and lower-cased; empty
// when there is none.
String CharsetOf(StringView contentType);

// Decodes a body. A byte-order mark decides first and is dropped (UTF-8, UTF-16 LE
// or BE); then the charset; without one, UTF-8 when the bytes are valid UTF-8, else
// Windows-1252. ISO-8859-1 and US-ASCII read as Windows-1252, as browsers read them.
// An unknown charset raises EHttpError naming Source.
String DecodeHttpText(std::string_view body, StringView charset, StringView source);

// Strict: no overlong forms, surrogates or values above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
