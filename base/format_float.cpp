#include "base/format.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/decimal_digits.h"

namespace {

std::vector<StringView> SplitSections(StringView pattern) {
  std::vector<StringView> sections;
  size_t start = 0;
  Char quote = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const Char c = pattern[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';' && sections.size() < 2) {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

struct SectionShape {
  int intPlaceholders = 0;
  int minIntDigits = 0;  // placeholders from the first '0' to the point
  int fracPlaceholders = 0;
  int minFracDigits = 0;  // up to the last '0' after the point
  bool grouping = false;
};

SectionShape Shape(StringView section) {
  SectionShape s;
  Char quote = 0;
  bool afterPoint = false;
  bool seenZero = false;
  for (const Char c : section) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'.') {
      afterPoint = true;
    } else if (c == u',') {
      if (!afterPoint) s.grouping = true;
    } else if (c == u'0' || c == u'#') {
      if (afterPoint) {
        ++s.fracPlaceholders;
        if (c == u'0') s.minFracDigits = s.fracPlaceholders;
      } else {
        ++s.intPlaceholders;
        if (c == u'0') seenZero = true;
        if (seenZero) ++s.minIntDigits;
      }
    }
  }
  return s;
}

String GeneralFloat(const Decimal& d, bool negative, const TFormatSettings& settings) {
  if (d.digits.empty()) return u"0";
  std::string text;
  if (d.exponent <= 0) {
    text = "0";
    text.push_back('.');
    text.append(size_t(-d.exponent), '0');
    text += d.digits;
  } else if (d.digits.size() <= size_t(d.exponent)) {
    text = d.digits;
    text.append(size_t(d.exponent) - d.digits.size(), '0');
  } else {
    text = d.digits.substr(0, size_t(d.exponent)) + "." + d.digits.substr(size_t(d.exponent));
  }
  String out = negative ? u"-" : u"";
  for (const char c : text) out.push_back(c == '.' ? settings.DecimalSeparator : Char(c));
  return out;
}

String FormatSection(StringView section, const Decimal& d, bool withMinus,
                     const TFormatSettings& settings) {
  const SectionShape shape = Shape(section);
  const std::string scaled = ScaledDigits(d, shape.fracPlaceholders);
  const size_t fracCount = size_t(shape.fracPlaceholders);
  std::string whole = scaled.size() > fracCount ? scaled.substr(0, scaled.size() - fracCount) : "";
  std::string frac = scaled.size() > fracCount
                         ? scaled.substr(scaled.size() - fracCount)
                         : std::string(fracCount - scaled.size(), '0') + scaled;
  size_t lead = 0;
  while (lead < whole.size() && whole[lead] == '0') ++lead;
  whole.erase(0, lead);
  const bool isZero = whole.empty() && frac.find_first_not_of('0') == std::string::npos;
  if (whole.size() < size_t(shape.minIntDigits))
    whole.insert(0, size_t(shape.minIntDigits) - whole.size(), '0');
  size_t fracShown = size_t(shape.minFracDigits);
  const size_t lastNonZero = frac.find_last_not_of('0');
  if (lastNonZero != std::string::npos) fracShown = std::max(fracShown, lastNonZero + 1);

  String out;
  if (withMinus && !isZero) out.push_back(u'-');
  const long length = long(whole.size());
  const long placeholders = shape.intPlaceholders;
  auto emitWhole = [&](long from, long to) {
    for (long k = std::max(from, 0L); k < to && k < length; ++k) {
      out.push_back(Char(whole[size_t(k)]));
      if (shape.grouping && settings.ThousandSeparator && k < length - 1 &&
          (length - 1 - k) % 3 == 0)
        out.push_back(settings.ThousandSeparator);
    }
  };
  Char quote = 0;
  bool afterPoint = false;
  long intIndex = 0, fracIndex = 0;
  bool wholeDone = placeholders == 0 ? false : true;
  for (const Char c : section) {
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        out.push_back(c);
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'.' && !afterPoint) {
      afterPoint = true;
      if (!wholeDone) {  // a pattern without integer places still shows the integer
        emitWhole(0, length);
        wholeDone = true;
      }
      if (fracShown > 0) out.push_back(settings.DecimalSeparator);
    } else if (c == u',') {
      // only marks grouping
    } else if (c == u'0' || c == u'#') {
      if (afterPoint) {
        if (size_t(fracIndex) < fracShown) out.push_back(Char(frac[size_t(fracIndex)]));
        ++fracIndex;
      } else {
        const long own = length - placeholders + intIndex;  // this place's digit
        emitWhole(intIndex == 0 ? 0 : own, own + 1);
        ++intIndex;
      }
    } else {
      out.push_back(c);
    }
  }
  if (!wholeDone) emitWhole(0, length);
  return out;
}

}  // namespace

String FormatFloat(StringView pattern, double value, const TFormatSettings& settings) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  const Decimal d = ToDecimal(value);
  const bool negative = std::signbit(value) && !d.digits.empty();
  const std::vector<StringView> sections = SplitSections(pattern);
  if (value == 0 && sections.size() > 2 && !sections[2].empty())
    return FormatSection(sections[2], d, false, settings);
  if (negative && sections.size() > 1 && !sections[1].empty())
    return FormatSection(sections[1], d, false, settings);
  if (sections[0].empty()) return GeneralFloat(d, negative, settings);
  return FormatSection(sections[0], d, negative, settings);
}
