// The programs the unzip benchmark times.
//   extract_bench unzip ARCHIVE DEST   our component, set up as the update client sets it
//   extract_bench floor ARCHIVE OUT    the first entry of ARCHIVE, raw-inflated with its
//                                      CRC-32 and written to OUT: the least any extractor
//                                      of that entry has to do
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/string.h"
#include "unzip/xr_unzip.h"

namespace {

uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

int Floor(const char* archive, const char* outName) {
  const int in = ::open(archive, O_RDONLY);
  const int out = ::open(outName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) return 2;
  unsigned char header[30];
  if (::read(in, header, 30) != 30 || Le32(header) != 0x04034B50 || Le16(header + 8) != 8) return 3;
  const uint32_t storedCrc = Le32(header + 14);
  ::lseek(in, 30 + Le16(header + 26) + Le16(header + 28), SEEK_SET);
  constexpr size_t kBuffer = 1 << 18;
  std::vector<unsigned char> input(kBuffer), output(kBuffer);
  z_stream z{};
  inflateInit2(&z, -MAX_WBITS);
  uLong crc = crc32(0, nullptr, 0);
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    if (z.avail_in == 0) {
      const ssize_t n = ::read(in, input.data(), kBuffer);
      if (n <= 0) return 4;
      z.next_in = input.data();
      z.avail_in = uInt(n);
    }
    z.next_out = output.data();
    z.avail_out = kBuffer;
    result = inflate(&z, Z_NO_FLUSH);
    if (result < 0) return 5;
    const size_t produced = kBuffer - z.avail_out;
    crc = crc32(crc, output.data(), uInt(produced));
    if (::write(out, output.data(), produced) != ssize_t(produced)) return 6;
  }
  inflateEnd(&z);
  ::close(out);
  return crc == storedCrc ? 0 : 7;
}

int Extract(const char* archive, const char* dest) {
  try {
    TXrUnZip unzip;
    unzip.SetDestDir(FromUtf8(dest));
    unzip.SetZipName(FromUtf8(archive));
    unzip.DoAll = true;
    unzip.OverwriteMode = TUZOverwriteMode::Always;
    unzip.RecreateDirs = true;
    unzip.UnZip();
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", ToUtf8(e.Message()).c_str());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "floor") == 0) return Floor(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "unzip") == 0) return Extract(argv[2], argv[3]);
  std::fprintf(stderr, "usage: extract_bench unzip|floor ARCHIVE DEST\n");
  return 2;
}
