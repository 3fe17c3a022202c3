// The program the AES benchmark times: AES-256 decryption of a zip entry's data as the
// component does it, in 8192-byte pieces (the archive stream's buffer size), in place.
//   aes_bench MIB   prints two throughputs in MiB/s, best of a few passes over MIB MiB:
//     ctr     the key stream alone (the cipher: one block encryption per 16 bytes)
//     decrypt the whole decryption, authentication code included
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "unzip/zip_aes.h"

namespace {

constexpr uint32_t kPiece = 8192;
constexpr int kPasses = 3;

template <typename Step>
double BestMibPerSecond(std::vector<uint8_t>& data, Step step) {
  double best = 0;
  for (int pass = 0; pass < kPasses; ++pass) {
    TAesCtrContext context{};
    const uint8_t password[] = "bench password";
    const uint8_t salt[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    uint8_t verifier[2];
    if (AesStart(3, password, sizeof password - 1, salt, verifier, context) != 0) std::abort();
    const auto start = std::chrono::steady_clock::now();
    for (size_t at = 0; at < data.size(); at += kPiece) step(data.data() + at, kPiece, context);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::max(best, double(data.size()) / (1 << 20) / took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const long mib = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (mib <= 0) {
    std::fprintf(stderr, "usage: aes_bench MIB\n");
    return 2;
  }
  std::vector<uint8_t> data(size_t(mib) << 20);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 131 + 7);
  const double ctr = BestMibPerSecond(data, AesCtrXor);
  const double decrypt = BestMibPerSecond(data, AesDecrypt);
  uint8_t sum = 0;
  for (size_t i = 0; i < data.size(); i += 4099) sum ^= data[i];
  std::printf("ctr %.1f\ndecrypt %.1f\ncheck %u\n", ctr, decrypt, unsigned(sum));
  return 0;
}
