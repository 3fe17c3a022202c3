// Exact single-byte code pages, alike in both builds. CP437's low bytes are the
// ASCII controls (not the glyphs); CP1252's five unassigned bytes 0x81, 0x8D, 0x8F,
// 0x90 and 0x9D stand for the C1 controls of the same value, as the system's
// conversion has them.
#pragma once

#include <string>
#include <string_view>

#include "base/string.h"

String DecodeCp437(std::string_view bytes);
String DecodeCp1252(std::string_view bytes);
// Characters without a code become '?' (each unit of a surrogate pair, as the
// system's conversion does), never a look-alike; *lossless (when given) says
// whether all had one.
std::string EncodeCp437(StringView text, bool* lossless = nullptr);
std::string EncodeCp1252(StringView text, bool* lossless = nullptr);

// The system ANSI code page: the real one on Windows (no best-fit look-alikes
// there either), 1252 in the native build.
String FromAnsi(std::string_view bytes);
std::string ToAnsi(StringView text, bool* lossless = nullptr);
// The OEM code page the same way (437 natively).
String FromOem(std::string_view bytes);
std::string ToOem(StringView text, bool* lossless = nullptr);
