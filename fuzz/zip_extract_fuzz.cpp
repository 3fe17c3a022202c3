// Extracts an archive held in memory into a temporary folder, with the settings the
// update client uses (or tests it, or takes entries into memory), and checks that
// nothing appeared outside that folder. Output is capped: entries claiming more than
// the cap are turned down as too large.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/stream.h"
#include "base/string.h"
#include "unzip/xr_unzip.h"

namespace {

namespace fs = std::filesystem;

constexpr int64_t kMaxEntrySize = 4 << 20;
constexpr int64_t kMaxTotalSize = 16 << 20;
// The password of the encrypted seeds; offered once per entry so that decryption runs
// past the check byte or verifier, with a cap on the key derivations an input can cost.
constexpr const char* kPassword = "Tr0ub4dor&3 zip";
constexpr int kMaxPasswordAnswers = 8;
// Entries taken into memory and through a chunked buffer.
constexpr int32_t kMemoryEntries = 4;
constexpr int32_t kChunkBufferSize = 4096;
constexpr int32_t kChunkSize = 1000;

class MemoryUnZip : public TXrUnZip {
public:
  MemoryUnZip(const uint8_t* data, size_t size) : data_(data), size_(size) {}

protected:
  std::unique_ptr<TStream> OpenArchiveStream(const String&, uint16_t, bool) override {
    return std::make_unique<TReadOnlyMemoryStream>(data_, size_);
  }
  TStream& OpenDisk(int32_t) override { throw EFOpenError(u"No other parts in the fuzz target"); }
  TFileStamp ArchiveStampOf(TStream&) override { return {0, int64_t(size_)}; }

private:
  const uint8_t* data_;
  size_t size_;
};

// One folder for the process: the target folder inside it, which is emptied for every
// input, and a sibling that must stay empty.
struct Folders {
  Folders() {
    root = fs::temp_directory_path() / ("qz_zip_extract_fuzz." + std::to_string(::getpid()));
    fs::create_directories(root / "out");
    fs::create_directories(root / "beside");
  }
  ~Folders() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root;
};

Folders& TheFolders() {
  static Folders folders;
  return folders;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Folders& folders = TheFolders();
  const fs::path out = folders.root / "out";
  std::error_code ec;
  fs::remove_all(out, ec);
  fs::create_directories(out);

  MemoryUnZip unzip(data, size);
  unzip.DoProcessMessages = false;
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.RecreateDirs = true;
  unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  unzip.SetDestDir(FromUtf8(out.string()));
  unzip.SetZipName(u"fuzz.zip");
  // Declared sizes are what output is held to; big ones are skipped before any work.
  int64_t total = 0;
  unzip.OnStartUnZip = [&](TXrUnZip& u, int32_t index, String&, bool& skip) {
    const int64_t entrySize = u.Entry(index).UncompressedSize();
    skip = entrySize > kMaxEntrySize || total + entrySize > kMaxTotalSize;
    if (!skip) total += entrySize;
  };
  int32_t answeredEntry = -1;
  int answers = 0;
  unzip.OnBadPassword = [&](TXrUnZip&, int32_t index, std::string& password) {
    if (index == answeredEntry || answers == kMaxPasswordAnswers) return;
    answeredEntry = index;
    ++answers;
    password = kPassword;
  };
  // One output per input, picked by its length so that mutations reach each: files,
  // a test of every entry, or the first entries into memory and through a small buffer
  // in chunks. Failures the component reports are its exceptions; anything else is a find.
  try {
    switch (size % 3) {
      case 0: unzip.UnZip(); break;
      case 1: unzip.TestZip(); break;
      default: {
        char chunkBuffer[kChunkBufferSize];
        unzip.OnGetNextBuffer = [](TXrUnZip&, char*&, const String&, int32_t, int32_t, bool&) {};
        unzip.LoadDirectory();
        for (int32_t i = 0; i < std::min(kMemoryEntries, unzip.LoadedEntryCount()); ++i) {
          total = 0;
          std::vector<uint8_t> bytes;
          unzip.UnZipToMemory(i, bytes);
          unzip.UnZipToBuffer(i, chunkBuffer, kChunkBufferSize, kChunkSize);
        }
      }
    }
  } catch (const Exception&) {
  }
  // Whatever the archive said, nothing lands beside the target folder or above it.
  for (const auto& item : fs::directory_iterator(folders.root))
    if (item.path().filename() != "out" && item.path().filename() != "beside") std::abort();
  if (!fs::is_empty(folders.root / "beside")) std::abort();
  return 0;
}
