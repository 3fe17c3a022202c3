#include "base/codepage.h"

String FromAnsi(std::string_view bytes) { return DecodeCp1252(bytes); }
std::string ToAnsi(StringView text, bool* lossless) { return EncodeCp1252(text, lossless); }
String FromOem(std::string_view bytes) { return DecodeCp437(bytes); }
std::string ToOem(StringView text, bool* lossless) { return EncodeCp437(text, lossless); }
