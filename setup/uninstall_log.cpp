#include "setup/uninstall_log.h"

#include "base/codepage.h"
#include "base/in_out_error.h"
#include "base/os_file.h"

bool TUninstallLog::AddUninstallEntry(int32_t Kind, const String& Path) {
  bool lossless = false;
  std::string bytes = ToAnsi(Path, &lossless);
  if (!lossless || bytes.size() > kUninstallPathMax) return false;
  entries_.push_back({Kind, std::move(bytes)});
  return true;
}

std::string TUninstallLog::Bytes() const {
  std::string out;
  out.reserve(entries_.size() * kUninstallRecordSize);
  for (const TUninstallEntry& e : entries_) {
    std::string record(kUninstallRecordSize, '\0');
    const uint32_t kind = uint32_t(e.Kind);
    for (int i = 0; i < 4; ++i) record[size_t(i)] = char((kind >> (8 * i)) & 0xFF);
    record[4] = char(uint8_t(e.Path.size()));
    record.replace(5, e.Path.size(), e.Path);
    out += record;
  }
  return out;
}

void TUninstallLog::SaveToFile(const String& fileName) const {
  uint32_t error = 0;
  NativeHandle h = os_file::CreateForWriting(fileName, error);
  if (h == InvalidNativeHandle()) RaiseInOutError(error);
  const std::string bytes = Bytes();
  const int32_t written = os_file::Write(h, bytes.data(), int32_t(bytes.size()), error);
  if (written != int32_t(bytes.size())) {
    if (written >= 0) error = os_file::DiskFullError();
    uint32_t ignored = 0;
    os_file::Close(h, ignored);
    RaiseInOutError(error);
  }
  if (!os_file::Close(h, error)) RaiseInOutError(error);
}
