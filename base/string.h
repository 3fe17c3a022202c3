// One text type in both builds: UTF-16 code units, one unit a character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using Char = char16_t;
using String = std::u16string;
using StringView = std::u16string_view;

// Strict UTF-8: overlong forms, surrogates, values above U+10FFFF and truncated
// sequences each decode to U+FFFD.
String FromUtf8(std::string_view bytes);
// Lone surrogates encode as U+FFFD.
std::string ToUtf8(StringView text);

// For literals and test data that are plain ASCII.
String FromAscii(std::string_view ascii);
