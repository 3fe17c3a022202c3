#include "tests/unzip/extract_test_support.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "unzip/pkware_cipher.h"
#include "unzip/zip_aes.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8Of(const std::u8string& s) { return std::string(s.begin(), s.end()); }

const uint8_t* BytesOf(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

std::string RawDeflate(const std::string& bytes) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, uLong(bytes.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = uInt(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  const int result = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

std::string BuildArchive(const std::vector<ArchiveEntry>& entries) {
  std::string body, dir;
  for (const ArchiveEntry& e : entries) {
    const std::string payload = e.payload ? *e.payload : e.method == 8 ? RawDeflate(e.data) : e.data;
    CentralFields f;
    f.name = e.name;
    f.method = e.method;
    f.flags = e.flags;
    f.dosTime = e.dosTime;
    f.externalAttributes = e.externalAttributes;
    f.crc = e.crc.value_or(Crc32Of(e.data));
    f.uncompressedSize = e.uncompressedSize.value_or(uint32_t(e.data.size()));
    f.compressedSize = e.compressedSize.value_or(uint32_t(payload.size()));
    f.offset = e.offset.value_or(uint32_t(body.size()));
    body += LocalHeader(f) + payload;
    f.extra = e.centralExtra;
    dir += CentralHeader(f);
  }
  EndFields end;
  end.entries = end.entriesThisDisk = uint16_t(entries.size());
  end.dirSize = uint32_t(dir.size());
  end.dirOffset = uint32_t(body.size());
  return body + dir + EndRecord(end);
}

ArchiveEntry PkwareEntry(const std::string& name, const std::string& data, uint16_t method,
                         bool dataDescriptor, const std::string& password) {
  ArchiveEntry e{.name = name, .data = data, .method = method};
  e.flags = uint16_t(dataDescriptor ? 9 : 1);
  std::string plain = std::string(11, '\x5A');
  plain += char(PkwareCheckByte(dataDescriptor, e.dosTime & 0xFFFF, Crc32Of(data)));
  plain += method == 8 ? RawDeflate(data) : data;
  TPkwareKeys keys;
  InitKeys(keys, BytesOf(password), uint32_t(password.size()));
  PkwareEncrypt(keys, reinterpret_cast<uint8_t*>(plain.data()), uint32_t(plain.size()));
  e.payload = plain;
  return e;
}

ArchiveEntry AesEntry(const std::string& name, const std::string& data, uint16_t method,
                      int strength, const std::string& password, uint16_t vendorVersion) {
  ArchiveEntry e{.name = name, .data = data, .method = 99, .flags = 1};
  const std::string salt(AesSaltLength(uint8_t(strength)), '\x33');
  TAesCtrContext context;
  uint8_t verifier[kAesVerifierLength];
  if (AesStart(strength, BytesOf(password), uint32_t(password.size()), BytesOf(salt), verifier,
               context) != 0)
    throw std::runtime_error("AesStart");
  std::string body = method == 8 ? RawDeflate(data) : data;
  AesEncrypt(reinterpret_cast<uint8_t*>(body.data()), uint32_t(body.size()), context);
  uint8_t code[kAesCodeLength];
  AesFinish(code, context);
  e.payload = salt + std::string(verifier, verifier + sizeof verifier) + body +
              std::string(code, code + sizeof code);
  e.crc = vendorVersion == 2 ? 0 : Crc32Of(data);
  e.centralExtra =
      ExtraBlock(0x9901, Le16(vendorVersion) + "AE" + char(strength) + Le16(method));
  return e;
}

std::string ReadFileBytes(const String& path) {
  std::ifstream in(fs::u8path(ToUtf8(path)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> TreeOf(const String& folder) {
  std::map<std::string, std::string> tree;
  const fs::path root = fs::u8path(ToUtf8(folder));
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    const std::string relative = Utf8Of(item.path().lexically_relative(root).generic_u8string());
    if (item.is_directory())
      tree[relative + "/"] = "";
    else
      tree[relative] = ReadFileBytes(FromUtf8(Utf8Of(item.path().u8string())));
  }
  return tree;
}
