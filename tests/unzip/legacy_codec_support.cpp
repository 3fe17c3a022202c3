#include "tests/unzip/legacy_codec_support.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <queue>
#include <stdexcept>
#include <unordered_map>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "base/stream.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "unzip/extract_io.h"

// ---- bits

void BitWriter::Put(uint32_t value, uint32_t bits) {
  for (uint32_t i = 0; i < bits; ++i) {
    if (used_ == 0) bytes_.push_back('\0');
    if ((value >> i) & 1) bytes_.back() = char(uint8_t(bytes_.back()) | (1u << used_));
    used_ = (used_ + 1) % 8;
  }
}

void BitWriter::PutCodeMsbFirst(uint32_t code, uint32_t bits) {
  for (uint32_t i = bits; i-- > 0;) Put((code >> i) & 1, 1);
}

std::string BitWriter::Bytes() const { return bytes_; }

// ---- matches shared by reduce and implode

namespace {

struct Token {
  uint32_t length = 0;  // 0: a literal
  uint32_t distance = 0;
  uint8_t byte = 0;
};

// Greedy matching through a hash of MinLength bytes. Usable(length, distance) may
// turn a match down; a literal is sent instead.
std::vector<Token> FindTokens(const std::string& data, uint32_t minLength, uint32_t maxLength,
                              uint32_t maxDistance,
                              const std::function<bool(uint32_t, uint32_t)>& usable = {}) {
  std::vector<Token> tokens;
  std::unordered_map<uint32_t, std::vector<uint32_t>> heads;
  auto key = [&](size_t at) {
    uint32_t k = 0;
    for (uint32_t i = 0; i < minLength; ++i) k = (k << 8) | uint8_t(data[at + i]);
    return k;
  };
  auto remember = [&](size_t at) {
    if (at + minLength <= data.size()) heads[key(at)].push_back(uint32_t(at));
  };
  size_t pos = 0;
  while (pos < data.size()) {
    uint32_t bestLength = 0, bestDistance = 0;
    if (pos + minLength <= data.size()) {
      auto it = heads.find(key(pos));
      if (it != heads.end()) {
        const auto& list = it->second;
        int tries = 48;
        for (auto c = list.rbegin(); c != list.rend() && tries-- > 0; ++c) {
          const uint32_t distance = uint32_t(pos - *c);
          if (distance > maxDistance) break;
          uint32_t length = 0;
          while (length < maxLength && pos + length < data.size() &&
                 data[*c + length] == data[pos + length])
            ++length;
          if (length > bestLength && (!usable || usable(length, distance))) {
            bestLength = length;
            bestDistance = distance;
          }
        }
      }
    }
    if (bestLength >= minLength) {
      tokens.push_back({bestLength, bestDistance, 0});
      for (uint32_t i = 0; i < bestLength; ++i) remember(pos + i);
      pos += bestLength;
    } else {
      tokens.push_back({0, 0, uint8_t(data[pos])});
      remember(pos);
      ++pos;
    }
  }
  return tokens;
}

// Huffman code lengths of at most MaxBits for the counts (every symbol gets a code).
std::vector<uint8_t> CodeLengths(std::vector<uint64_t> counts, uint32_t maxBits) {
  for (uint64_t& c : counts) c += 1;
  for (;;) {
    const size_t n = counts.size();
    std::vector<size_t> parent(2 * n, 0);
    using Node = std::pair<uint64_t, size_t>;
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
    for (size_t i = 0; i < n; ++i) queue.push({counts[i], i});
    size_t next = n;
    while (queue.size() > 1) {
      const Node a = queue.top();
      queue.pop();
      const Node b = queue.top();
      queue.pop();
      parent[a.second] = parent[b.second] = next;
      queue.push({a.first + b.first, next++});
    }
    const size_t root = next - 1;
    std::vector<uint8_t> lengths(n);
    uint32_t longest = 0;
    for (size_t i = 0; i < n; ++i) {
      uint32_t depth = 0;
      for (size_t at = i; at != root; at = parent[at]) ++depth;
      lengths[i] = uint8_t(depth);
      longest = std::max(longest, depth);
    }
    if (longest <= maxBits) return lengths;
    for (uint64_t& c : counts) c = (c + 1) / 2;
  }
}

// Codes in order of length and, within a length, of symbol.
std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
  std::array<uint32_t, 18> count{}, next{};
  for (uint8_t l : lengths) ++count[l];
  count[0] = 0;
  uint32_t code = 0;
  for (size_t bits = 1; bits <= 16; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t i = 0; i < lengths.size(); ++i)
    if (lengths[i] != 0) codes[i] = next[lengths[i]]++;
  return codes;
}

}  // namespace

// ---- shrink

std::string Shrink(const std::string& data, const ShrinkOptions& options, ShrinkStats* stats) {
  constexpr uint32_t kMaxCode = 8192;
  BitWriter out;
  if (data.empty()) return {};
  std::vector<int32_t> prefix(kMaxCode, -1);
  std::vector<uint8_t> suffix(kMaxCode, 0);
  std::unordered_map<uint32_t, uint32_t> dictionary;  // prefix << 8 | byte -> code
  uint32_t codeSize = 9;
  uint32_t freeEnt = 257;
  size_t sinceClear = 0;
  bool wasFull = false;
  auto lowestFree = [&](uint32_t from) {
    while (from < kMaxCode && prefix[from] != -1) ++from;
    return from;
  };
  auto send = [&](uint32_t code) {
    while (code >= (1u << codeSize)) {
      out.Put(256, codeSize);
      out.Put(1, codeSize);
      ++codeSize;
    }
    out.Put(code, codeSize);
    ++sinceClear;
  };
  auto partialClear = [&] {
    out.Put(256, codeSize);
    out.Put(2, codeSize);
    std::vector<bool> isPrefix(kMaxCode, false);
    for (uint32_t code = 257; code < kMaxCode; ++code)
      if (prefix[code] >= 257) isPrefix[size_t(prefix[code])] = true;
    for (uint32_t code = 257; code < kMaxCode; ++code) {
      if (prefix[code] == -1 || isPrefix[code]) continue;
      dictionary.erase(uint32_t(prefix[code]) << 8 | suffix[code]);
      prefix[code] = -1;
    }
    freeEnt = lowestFree(257);
    sinceClear = 0;
    if (stats) ++stats->clears;
  };
  uint32_t w = uint8_t(data[0]);
  for (size_t i = 1; i < data.size(); ++i) {
    const uint8_t c = uint8_t(data[i]);
    const auto it = dictionary.find(w << 8 | c);
    if (it != dictionary.end()) {
      w = it->second;
      continue;
    }
    send(w);
    // Only after a literal: a longer string just sent could be freed by the clear
    // and then could not be the prefix of the entry that follows.
    wasFull = wasFull || freeEnt >= kMaxCode;
    const bool wanted = (options.clearWhenFull && freeEnt >= kMaxCode) ||
                        (options.clearEvery > 0 && wasFull && sinceClear >= options.clearEvery);
    if (wanted && w < 256) partialClear();
    if (freeEnt < kMaxCode) {
      prefix[freeEnt] = int32_t(w);
      suffix[freeEnt] = c;
      dictionary[w << 8 | c] = freeEnt;
      freeEnt = lowestFree(freeEnt + 1);
    }
    w = c;
  }
  send(w);
  if (stats) stats->codeSize = codeSize;
  return out.Bytes();
}

// ---- reduce

std::string Reduce(const std::string& data, int factor, bool followers, uint32_t maxFollowers) {
  static constexpr uint8_t kLengthMask[] = {0x7F, 0x3F, 0x1F, 0x0F};
  static constexpr uint8_t kShift[] = {7, 6, 5, 4};
  if (factor < 1 || factor > 4) throw std::invalid_argument("factor");
  const uint32_t lengthMask = kLengthMask[factor - 1];
  const uint32_t shift = kShift[factor - 1];
  const uint32_t maxDistance = ((0xFFu >> shift) + 1) * 256;
  // A copy of 3 bytes from at most 256 back would have V = 0, which means "144".
  const auto tokens = FindTokens(data, 3, lengthMask + 255 + 3, maxDistance,
                                 [](uint32_t length, uint32_t distance) {
                                   return length > 3 || distance > 256;
                                 });
  std::string stream;  // the bytes before follower coding
  for (const Token& t : tokens) {
    if (t.length == 0) {
      stream.push_back(char(t.byte));
      if (t.byte == 144) stream.push_back('\0');
      continue;
    }
    const uint32_t extra = t.length - 3;
    const uint32_t high = (t.distance - 1) >> 8;
    stream.push_back(char(144));
    if (extra < lengthMask) {
      stream.push_back(char((high << shift) | extra));
    } else {
      stream.push_back(char((high << shift) | lengthMask));
      stream.push_back(char(extra - lengthMask));
    }
    stream.push_back(char((t.distance - 1) & 0xFF));
  }

  std::array<std::vector<uint8_t>, 256> sets;
  if (followers) {
    std::vector<std::array<uint32_t, 256>> counts(256);
    uint8_t last = 0;
    for (char ch : stream) {
      ++counts[last][uint8_t(ch)];
      last = uint8_t(ch);
    }
    for (size_t x = 0; x < 256; ++x) {
      std::vector<uint8_t> order;
      for (uint32_t y = 0; y < 256; ++y)
        if (counts[x][y] > 0) order.push_back(uint8_t(y));
      std::stable_sort(order.begin(), order.end(),
                       [&](uint8_t a, uint8_t b) { return counts[x][a] > counts[x][b]; });
      order.resize(std::min<size_t>(order.size(), std::min<uint32_t>(maxFollowers, 63)));
      sets[x] = order;
    }
  }
  BitWriter out;
  for (int x = 255; x >= 0; --x) {
    out.Put(uint32_t(sets[size_t(x)].size()), 6);
    for (uint8_t f : sets[size_t(x)]) out.Put(f, 8);
  }
  uint8_t last = 0;
  for (char ch : stream) {
    const uint8_t c = uint8_t(ch);
    const auto& set = sets[last];
    if (set.empty()) {
      out.Put(c, 8);
    } else {
      const auto at = std::find(set.begin(), set.end(), c);
      if (at == set.end()) {
        out.Put(1, 1);
        out.Put(c, 8);
      } else {
        uint32_t bits = 1;
        while ((1u << bits) < set.size()) ++bits;
        out.Put(0, 1);
        out.Put(uint32_t(at - set.begin()), bits);
      }
    }
    last = c;
  }
  return out.Bytes();
}

// ---- implode

uint16_t ImplodeFlags(const ImplodeOptions& options) {
  return uint16_t((options.bigDictionary ? 2 : 0) | (options.literalTree ? 4 : 0));
}

std::string TreeBytes(const std::vector<uint8_t>& lengths) {
  std::string pairs;
  for (size_t i = 0; i < lengths.size();) {
    size_t run = 1;
    while (run < 16 && i + run < lengths.size() && lengths[i + run] == lengths[i]) ++run;
    pairs.push_back(char(((run - 1) << 4) | (lengths[i] - 1)));
    i += run;
  }
  return std::string(1, char(pairs.size() - 1)) + pairs;
}

std::vector<uint8_t> DeepLengths(uint32_t n) {
  const uint32_t shortRun = n == 64 ? 10 : 8;
  std::vector<uint8_t> lengths;
  for (uint32_t i = 1; i <= shortRun; ++i) lengths.push_back(uint8_t(i));
  const uint32_t rest = n - shortRun;
  const uint32_t at15 = (1u << (16 - shortRun)) - rest;
  lengths.insert(lengths.end(), at15, 15);
  lengths.insert(lengths.end(), rest - at15, 16);
  return lengths;
}

std::string Implode(const std::string& data, const ImplodeOptions& options) {
  const uint32_t minLength = options.literalTree ? 3 : 2;
  const uint32_t maxLength = minLength + 63 + 255;
  const uint32_t maxDistance = options.bigDictionary ? 8192 : 4096;
  const uint32_t lowBits = options.bigDictionary ? 7 : 6;
  const auto tokens = FindTokens(data, minLength, maxLength, maxDistance);

  std::vector<uint64_t> literalCounts(256), lengthCounts(64), distanceCounts(64);
  for (const Token& t : tokens) {
    if (t.length == 0) {
      ++literalCounts[t.byte];
      continue;
    }
    ++lengthCounts[std::min<uint32_t>(t.length - minLength, 63)];
    ++distanceCounts[(t.distance - 1) >> lowBits];
  }
  auto pick = [](const std::vector<uint8_t>& given, const std::vector<uint64_t>& counts) {
    return given.empty() ? CodeLengths(counts, 16) : given;
  };
  const auto literalLengths = pick(options.literalLengths, literalCounts);
  const auto lengthLengths = pick(options.lengthLengths, lengthCounts);
  const auto distanceLengths = pick(options.distanceLengths, distanceCounts);
  const auto literalCodes = CanonicalCodes(literalLengths);
  const auto lengthCodes = CanonicalCodes(lengthLengths);
  const auto distanceCodes = CanonicalCodes(distanceLengths);

  std::string head;
  if (options.literalTree) head += TreeBytes(literalLengths);
  head += TreeBytes(lengthLengths) + TreeBytes(distanceLengths);
  // Codes are sent complemented.
  BitWriter out;
  auto code = [&](const std::vector<uint32_t>& codes, const std::vector<uint8_t>& lengths,
                  uint32_t symbol) {
    const uint32_t bits = lengths[symbol];
    out.PutCodeMsbFirst(~codes[symbol] & ((1u << bits) - 1), bits);
  };
  for (const Token& t : tokens) {
    if (t.length == 0) {
      out.Put(1, 1);
      if (options.literalTree)
        code(literalCodes, literalLengths, t.byte);
      else
        out.Put(t.byte, 8);
      continue;
    }
    out.Put(0, 1);
    out.Put((t.distance - 1) & ((1u << lowBits) - 1), lowBits);
    code(distanceCodes, distanceLengths, (t.distance - 1) >> lowBits);
    const uint32_t lengthCode = std::min<uint32_t>(t.length - minLength, 63);
    code(lengthCodes, lengthLengths, lengthCode);
    if (lengthCode == 63) out.Put(t.length - minLength - 63, 8);
  }
  return head + out.Bytes();
}

// ---- running a decompressor

namespace {

class RawEngine : public TXrUnZip {
public:
  DecodeResult Run(uint16_t method, uint16_t flags, const std::string& compressed,
                   int64_t uncompressedSize) {
    DoProcessMessages = false;
    TReadOnlyMemoryStream input(compressed.data(), compressed.size());
    TMemoryStream output;
    TExtractState state(&input);
    TZipHeaderInfo& h = HeaderTemplate();
    h.CompressionMethod = method;
    h.Flags = flags;
    h.SetCompressedSize(int64_t(compressed.size()));
    h.SetUncompressedSize(uncompressedSize);
    state.ResetForEntry();
    state.OutStream = &output;
    state.CompRemaining = int64_t(compressed.size());
    state.ArchiveRemaining = int64_t(compressed.size());
    state.UncompSize = uncompressedSize;
    const TDecompressor decompressor = DecompressorFor(method);
    if (!decompressor) throw std::invalid_argument("no decompressor for the method");
    DecodeResult result;
    try {
      (this->*decompressor)(state);
    } catch (const EBiggerThanUncompressed&) {
      result.tooBig = true;
    }
    const auto& bytes = output.Bytes();
    result.output.assign(bytes.begin(), bytes.end());
    return result;
  }
};

}  // namespace

DecodeResult DecodeEntry(uint16_t method, uint16_t flags, const std::string& compressed,
                         int64_t uncompressedSize) {
  RawEngine engine;
  return engine.Run(method, flags, compressed, uncompressedSize);
}

// ---- the independent decoder

bool SevenZipAvailable() {
#ifdef _WIN32
  return false;
#else
  return ::access("/usr/bin/7zz", X_OK) == 0;
#endif
}

std::optional<std::string> SevenZipDecode(uint16_t method, uint16_t flags,
                                          const std::string& compressed, const std::string& data) {
#ifdef _WIN32
  (void)method, (void)flags, (void)compressed, (void)data;
  return std::nullopt;
#else
  if (!SevenZipAvailable()) return std::nullopt;
  static int run = 0;
  ScratchDir dir("legacy_oracle_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
  ArchiveEntry entry;
  entry.name = "entry.bin";
  entry.data = data;
  entry.method = method;
  entry.flags = flags;
  entry.payload = compressed;
  const std::string zip = dir.UnixPath() + "/in.zip";
  WriteFileBytes(dir / u"in.zip", BuildArchive({entry}));
  const std::string command = "/usr/bin/7zz e -so -bd '" + zip + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  const int status = ::pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
#endif
}

std::string SampleData(size_t size, uint32_t seed) {
  std::string out;
  uint32_t x = seed;
  auto next = [&] {
    x = x * 1103515245u + 12345u;
    return x >> 16;
  };
  static const char* const kWords[] = {"alpha ", "beta ", "gamma ", "delta\n", "zip ", "entry ",
                                       "shrink ", "reduce ", "implode ", "\x90\x90 "};
  while (out.size() < size) {
    switch (next() % 6) {
      case 0:
        out.append(size_t(next() % 40) + 1, char(next()));  // a run
        break;
      case 1:
        for (int i = 0, n = int(next() % 24); i < n; ++i) out.push_back(char(next()));
        break;
      default:
        out += kWords[next() % 10];
        break;
    }
  }
  out.resize(size);
  return out;
}
