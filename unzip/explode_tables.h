// Multi-level lookup tables for the Shannon-Fano codes of imploded entries, built from
// a list of code bit lengths.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Codes of up to this many bits; a length of 0 means the value has no code.
inline constexpr uint32_t kMaxCodeBits = 16;
// Most values a length list may hold, and most of them with a code.
inline constexpr uint32_t kMaxCodeLengths = 316;
inline constexpr uint32_t kMaxCodedValues = 288;

// Extra of a table entry: 0 to 14 base value with that many extra bits, 15 end code,
// 16 literal, 17 to 32 a sub-table of Extra - 16 bits, 99 no code leads here.
inline constexpr uint8_t kHuffEndCode = 15;
inline constexpr uint8_t kHuffLiteral = 16;
inline constexpr uint8_t kHuffInvalid = 99;

struct THuffEntry {
  uint8_t Extra = kHuffInvalid;
  // Input bits this entry consumes at its level.
  uint8_t Bits = 0;
  // A literal or base value, or the index of a sub-table's first entry.
  uint32_t Value = 0;
};

// Every table of one build in one block: the first table starts at index 0, sub-tables
// follow and are reached by index, so releasing is one step that cannot be missed.
struct THuffTables {
  std::vector<THuffEntry> Entries;
  bool Empty() const { return Entries.empty(); }
};

enum : uint16_t {
  kHuffComplete = 0,
  // Built, but the code space is not filled and the longest code has more than 1 bit;
  // also the answer when the build failed for a reason other than memory (nothing built).
  kHuffIncomplete = 1,
  // The lengths cannot form a prefix code; nothing built.
  kHuffOversubscribed = 2,
  kHuffOutOfMemory = 3,
};

// Builds tables for values 0 to N - 1 with bit lengths B. Values below S stand for
// themselves; value V at or above S maps to base D[V - S] with E[V - S] extra bits (a
// coded value beyond D or E fails the build). On entry M is the requested lookup bits,
// on exit the first table's bits. All lengths 0: empty tables, M = 0, result complete.
uint16_t BuildHuffTables(const uint16_t* b, uint32_t n, uint32_t s, std::span<const uint16_t> d,
                         std::span<const uint16_t> e, THuffTables& t, int32_t& m);
// Releases the tables; 0.
uint16_t FreeHuffTables(THuffTables& t);
