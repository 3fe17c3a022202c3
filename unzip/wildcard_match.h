// Wildcard patterns that select archive entries by name. Case is ignored.
//
//   *          any run of characters, also an empty one
//   ?          exactly one character
//   <members>  one character that is a member; <!members> or <^members> one that is not
//   *<members> a run of characters that the set allows (the set may be inverted)
//
// A member is one character or a range first-last (codes first to last, both included; a
// range whose first code is above its last holds nothing). A '-' that opens the set or
// follows a complete member is itself a member. There is no escape character: '[', ']',
// '\' and everything else stand for themselves.
//
// A pattern is compiled once; a malformed set makes the whole pattern bad before any text
// is looked at. Matching walks the pattern and the text together (a set of live pattern
// positions per text character), so its work is bounded by pattern length times text
// length whatever the number of stars.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/string.h"

// What a match found; for a failure, the first reason.
enum class TMatchCode : uint8_t {
  mcValid = 1,     // the text matches the pattern
  mcPatternEnd,    // the pattern was used up while text remained
  mcTextEnd,       // the text was used up while pattern was left, or no place was found
                   // after a star where the rest of the pattern matches
  mcSetMismatch,   // a character before the first star is not in its set (or is in an
                   // inverted one)
  mcCharMismatch,  // a literal character before the first star differs
  mcBadPattern,    // a set is empty, lacks its closing '>' or has a range without its end
};

struct TCharRange {
  Char First;
  Char Last;
};

// The members of one set, in pattern order, and whether the set is inverted.
struct TCharSet {
  std::vector<TCharRange> Ranges;
  bool Negated = false;
};

// C is a member of Set (its negation not applied); False for a set without members.
bool IsInCharSet(Char c, const TCharSet& set);
// C is one the set stands for: a member of a plain set, or not one of an inverted set.
bool CharSetAdmits(Char c, const TCharSet& set);

class TWildcardPattern {
public:
  // Lower-cases and compiles Pattern.
  explicit TWildcardPattern(StringView pattern);

  bool IsValid() const { return badSetAt_ == 0; }
  // 1-based position of the '<' that opens the first malformed set; 0 when valid.
  size_t BadSetPosition() const { return badSetAt_; }
  const String& Text() const { return text_; }

  // Text is lower-cased alike before it is compared.
  TMatchCode MatchCode(StringView text) const;
  bool Matches(StringView text) const { return MatchCode(text) == TMatchCode::mcValid; }

private:
  friend TMatchCode MatchStarRun(StringView patternTail, StringView textTail,
                                 const TCharSet& starSet);

  enum class Kind : uint8_t { Literal, AnyChar, Set, Star };
  struct Element {
    Kind kind;
    Char literal;
    int32_t set;  // index into sets_; -1 for a star without a set
  };

  bool Admits(const Element& e, Char c) const;

  String text_;
  std::vector<Element> elements_;
  std::vector<TCharSet> sets_;
  size_t badSetAt_ = 0;
};

// One-off forms: compile Pattern, match Text.
TMatchCode WildcardMatchCode(StringView pattern, StringView text);
bool WildcardMatch(StringView pattern, StringView text);
// The search of one star: the star passes over a run at the start of TextTail, every
// character of which StarSet allows (any character when the set has no members), and
// PatternTail must match what follows. The code is the one that the star followed by
// PatternTail gives against TextTail: mcValid, mcTextEnd when no run leads to a match,
// mcBadPattern for a malformed PatternTail. StarSet's members are compared with the
// lower-cased text as they are.
TMatchCode MatchStarRun(StringView patternTail, StringView textTail, const TCharSet& starSet);
