// Test-only encoders for the shrink, reduce and implode methods, a bit writer for
// hand-built streams, a way to run one decompressor on bytes held in memory, and an
// independent decoder (7zz) to check the encoders against.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Bits packed least significant first, as the zip decompressors read them.
class BitWriter {
public:
  void Put(uint32_t value, uint32_t bits);
  // Bits of Code from its most significant end: how prefix codes are laid down.
  void PutCodeMsbFirst(uint32_t code, uint32_t bits);
  // The bytes so far, the last one padded with zeros.
  std::string Bytes() const;

private:
  std::string bytes_;
  uint32_t used_ = 0;  // bits used in the last byte; 0 when it is full or absent
};

struct ShrinkOptions {
  // Once the table was full and cleared, a partial clear is also sent at the first
  // point after this many codes at which it can be (0: never).
  size_t clearEvery = 0;
  bool clearWhenFull = true;
};
// What the encoder did, to show that a case reaches what it is meant to.
struct ShrinkStats {
  uint32_t codeSize = 9;
  uint32_t clears = 0;
};
// Dynamic LZW as the shrink method defines it: codes grow from 9 to 13 bits on demand.
std::string Shrink(const std::string& data, const ShrinkOptions& options = {},
                   ShrinkStats* stats = nullptr);

// Reduce with compression factor 1 to 4; with Followers, follower sets of up to
// MaxFollowers bytes are sent, otherwise every row is empty.
std::string Reduce(const std::string& data, int factor, bool followers = true,
                   uint32_t maxFollowers = 32);

struct ImplodeOptions {
  bool bigDictionary = false;
  bool literalTree = false;
  // Code lengths to use instead of those counted from the data (256 literal, 64
  // length, 64 distance codes); they must form a complete code.
  std::vector<uint8_t> literalLengths;
  std::vector<uint8_t> lengthLengths;
  std::vector<uint8_t> distanceLengths;
};
// The general purpose bits that go with the options.
uint16_t ImplodeFlags(const ImplodeOptions& options);
std::string Implode(const std::string& data, const ImplodeOptions& options);
// A tree's lengths in the compressed form the entry carries.
std::string TreeBytes(const std::vector<uint8_t>& lengths);

// A complete set of N code lengths (N a power of two, 64 or 256) reaching 16 bits.
std::vector<uint8_t> DeepLengths(uint32_t n);

// Runs the decompressor of Method on Compressed as one entry's data; what it wrote
// (also when it stopped early). Any exception passes through.
struct DecodeResult {
  std::string output;
  bool tooBig = false;  // the output ran past UncompressedSize
};
DecodeResult DecodeEntry(uint16_t method, uint16_t flags, const std::string& compressed,
                         int64_t uncompressedSize);

// What 7zz extracts from a one-entry archive of Method, or nothing when 7zz is not
// there or reports an error.
std::optional<std::string> SevenZipDecode(uint16_t method, uint16_t flags,
                                          const std::string& compressed, const std::string& data);
bool SevenZipAvailable();

// Sample data: text with repeats, runs and noise.
std::string SampleData(size_t size, uint32_t seed = 1);
