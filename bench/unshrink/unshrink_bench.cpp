// Times the shrink decompressor on streams made to cost it work: plain literals, one
// literal followed by partial clears only, and clears while a high code stays in use.
// Each stream is about KIB KiB of compressed data (default 1024) in a one-entry archive
// extracted by the component; prints the median of RUNS runs (default 5) in seconds per
// MiB of input.
//   unshrink_bench FOLDER [KIB [RUNS]]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/string.h"
#include "unzip/xr_unzip.h"

namespace {


class Bits {
public:
  void Put(uint32_t value, uint32_t bits) {
    for (uint32_t i = 0; i < bits; ++i) {
      if (used_ == 0) bytes_.push_back('\0');
      if ((value >> i) & 1) bytes_.back() = char(bytes_.back() | (1 << used_));
      used_ = (used_ + 1) % 8;
    }
  }
  size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }

private:
  std::string bytes_;
  uint32_t used_ = 0;
};

std::string Literals(size_t target) {
  Bits b;
  for (uint32_t i = 0; b.Size() < target; ++i) b.Put('a' + i % 26, 9);
  return b.Bytes();
}

std::string ClearsOnly(size_t target) {
  Bits b;
  b.Put('a', 9);
  while (b.Size() < target) {
    b.Put(256, 9);
    b.Put(2, 9);
  }
  b.Put('a', 9);
  return b.Bytes();
}

// Codes of 13 bits; the table filled with two-byte strings, code 8189 made the prefix
// of another; then 8189, a literal and a clear, again and again: the clear frees two
// codes while 8189 stays.
std::string HighCodeKept(size_t target) {
  Bits b;
  b.Put('a', 9);
  for (uint32_t size = 9; size < 13; ++size) {
    b.Put(256, size);
    b.Put(1, size);
  }
  for (uint32_t code = 257; code <= 8189; ++code) b.Put('a' + code % 26, 13);
  b.Put(8189, 13);
  b.Put('y', 13);
  while (b.Size() < target) {
    b.Put(256, 13);
    b.Put(2, 13);
    b.Put(8189, 13);
    b.Put('y', 13);
  }
  return b.Bytes();
}

std::string Le16(uint16_t v) { return {char(v), char(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(uint16_t(v)) + Le16(uint16_t(v >> 16)); }

// One shrunk entry "x" whose declared size the output cannot reach.
std::string Archive(const std::string& data) {
  const std::string name = "x";
  const std::string fields = Le16(10) + Le16(0) + Le16(1) + Le32(0x52CF6000) + Le32(0) +
                             Le32(uint32_t(data.size())) + Le32(0x7FFFFFFF) + Le16(1);
  const std::string local = Le32(0x04034B50) + fields + Le16(0) + name;
  const std::string central = Le32(0x02014B50) + Le16(20) + fields + Le16(0) + Le16(0) +
                              Le16(0) + Le16(0) + Le32(0) + Le32(0) + name;
  const uint32_t centralAt = uint32_t(local.size() + data.size());
  return local + data + central + Le32(0x06054B50) + Le16(0) + Le16(0) + Le16(1) + Le16(1) +
         Le32(uint32_t(central.size())) + Le32(centralAt) + Le16(0);
}

double SecondsToExtract(const std::string& folder, const std::string& archive) {
  const std::string path = folder + "/shrunk.zip";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(archive.data(), 1, archive.size(), f) != archive.size()) return -1;
  std::fclose(f);
  const auto start = std::chrono::steady_clock::now();
  TXrUnZip unzip;
  unzip.SetZipName(FromUtf8(path));
  unzip.SetDestDir(FromUtf8(folder + "/out"));
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.UnZip();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const long kib = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 1024;
  const long runs = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 5;
  if (argc < 2 || argc > 4 || kib <= 0 || kib > (1 << 20) || runs <= 0 || runs > 1000) {
    std::fprintf(stderr, "usage: unshrink_bench FOLDER [KIB [RUNS]]\n");
    return 2;
  }
  const size_t target = size_t(kib) << 10;
  const struct {
    const char* name;
    std::string data;
  } cases[] = {{"literals", Literals(target)},
               {"clears only", ClearsOnly(target)},
               {"high code kept", HighCodeKept(target)}};
  for (const auto& c : cases) {
    std::vector<double> times;
    for (long i = 0; i < runs; ++i) times.push_back(SecondsToExtract(argv[1], Archive(c.data)));
    std::sort(times.begin(), times.end());
    const double mib = double(c.data.size()) / (1 << 20);
    std::printf("%-16s %8.3f s per MiB (median of %ld, %.3f to %.3f)\n", c.name,
                times[size_t(runs) / 2] / mib, runs, times.front() / mib, times.back() / mib);
  }
  return 0;
}
