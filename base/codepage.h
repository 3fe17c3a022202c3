// Exact single-byte code pages, alike in both builds.
#pragma once

#include <string>
#include <string_view>

#include "base/string.h"

String DecodeCp437(std::string_view bytes);
String DecodeCp1252(std::string_view bytes);
// Characters without a code become '?'; *lossless (when given) says whether all had one.
std::string EncodeCp437(StringView text, bool* lossless = nullptr);
std::string EncodeCp1252(StringView text, bool* lossless = nullptr);

// The system ANSI code page: the real one on Windows, 1252 in the native build.
String FromAnsi(std::string_view bytes);
std::string ToAnsi(StringView text, bool* lossless = nullptr);
// The OEM code page the same way (437 natively).
String FromOem(std::string_view bytes);
std::string ToOem(StringView text, bool* lossless = nullptr);
