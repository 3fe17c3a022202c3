// Storage of a Unicode character database for code that classifies, maps, decomposes
// or composes characters. The programs fill none of it: it is made on first use (start-up
// allocates nothing) and released by DoneUnicodeSupport.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/global_owner.h"

// A table is a trie of 256 pages: page (code >> 16) & 0xFF, row (code >> 8) & 0xFF,
// entry code & 0xFF. Pages and rows that hold nothing stay null.
template <typename T>
using TUnicodeRow = std::array<T, 256>;
template <typename T>
using TUnicodePage = std::array<std::unique_ptr<TUnicodeRow<T>>, 256>;
template <typename T>
using TUnicodePages = std::array<std::unique_ptr<TUnicodePage<T>>, 256>;

// Bit n set: the character has category or property n.
using TCharacterCategories = uint64_t;

struct TUnicodeCaseMapping {
  std::u32string Fold, Lower, Title, Upper;
};

// Where a code point's entry stands in one of the lists below.
struct TUnicodeCodeIndex {
  char32_t Code;
  int32_t Index;
};

// A numeric value as a fraction.
struct TUnicodeNumber {
  int32_t Numerator;
  int32_t Denominator;
};

// A code point composed of a sequence (its first code point, then the next).
struct TUnicodeComposition {
  char32_t Code;
  std::u32string Sequence;
};

struct TUnicodeDatabase {
  TUnicodePages<TCharacterCategories> Categories;
  TUnicodePages<TUnicodeCaseMapping> CaseMappings;
  TUnicodePages<std::u32string> Decompositions;
  TUnicodePages<uint8_t> CombiningClasses;
  std::vector<TUnicodeCodeIndex> CodeIndices;
  std::vector<TUnicodeNumber> Numbers;
  std::vector<TUnicodeComposition> Compositions;
};

extern GlobalOwner<TUnicodeDatabase> UnicodeDatabase;  // null until first use and after release

// The storage, made on first use.
TUnicodeDatabase& UnicodeDatabaseStorage();
void ReleaseUnicodeDatabase();
