#include "base/registry.h"

#include <vector>

#include "base/exception.h"
#include "base/win_string.h"

namespace {
String InvalidType(const String& name) { return u"Invalid data type for '" + name + u"'"; }
String FailedToSet(const String& name) { return u"Failed to set data for '" + name + u"'"; }

// The type and size of a value without its data; false when it is missing.
bool QueryTypeAndSize(HKEY key, const String& name, DWORD& type, DWORD& size) {
  type = REG_NONE;
  size = 0;
  return key && RegQueryValueExW(key, W(name), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

// Reads at most capacity bytes of a value that had type wanted when asked; false when
// it is gone, has changed its type or has grown past capacity since.
bool QueryData(HKEY key, const String& name, DWORD wanted, BYTE* data, DWORD capacity,
               DWORD& got) {
  DWORD type = REG_NONE;
  got = capacity;
  return RegQueryValueExW(key, W(name), nullptr, &type, data, &got) == ERROR_SUCCESS &&
         type == wanted && got <= capacity;
}
}  // namespace

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(const String& key, bool canCreate) {
  CloseKey();
  HKEY opened = nullptr;
  LONG rc;
  if (canCreate) {
    rc = RegCreateKeyExW(root_, W(key), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                         &opened, nullptr);
  } else {
    rc = RegOpenKeyExW(root_, W(key), 0, access_, &opened);
  }
  if (rc != ERROR_SUCCESS) return false;
  current_.reset(opened);
  return true;
}

void TRegistry::CloseKey() { current_.reset(); }

bool TRegistry::ValueExists(const String& name) const {
  return current_ &&
         RegQueryValueExW(current_.get(), W(name), nullptr, nullptr, nullptr, nullptr) ==
             ERROR_SUCCESS;
}

int32_t TRegistry::ReadInteger(const String& name) const {
  // Type and size first: a value of any other kind or size is refused unread, however
  // large it is.
  DWORD type, size;
  if (!QueryTypeAndSize(current_.get(), name, type, size) || type != REG_DWORD || size != 4)
    throw ERegistryException(InvalidType(name));
  BYTE d[4];
  DWORD got = 0;
  if (!QueryData(current_.get(), name, REG_DWORD, d, sizeof d, got) || got != 4)
    throw ERegistryException(InvalidType(name));
  uint32_t u = uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 24;
  return int32_t(u);
}

bool TRegistry::ReadBool(const String& name) const { return ReadInteger(name) != 0; }

String TRegistry::ReadString(const String& name) const {
  std::vector<BYTE> data;
  DWORD got = 0;
  // The value can change between asking for its size and reading it: ask again.
  for (int attempt = 0;; ++attempt) {
    DWORD type, size;
    if (!QueryTypeAndSize(current_.get(), name, type, size) ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxTextBytes)
      throw ERegistryException(InvalidType(name));
    data.assign(size, 0);
    if (QueryData(current_.get(), name, type, data.data(), size, got)) break;
    if (attempt == 3) throw ERegistryException(InvalidType(name));
  }
  // Stored data may be unterminated or of odd length: take whole units up to a zero.
  String s;
  const size_t units = got / 2;
  s.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    const Char c = Char(data[2 * i] | data[2 * i + 1] << 8);
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

void TRegistry::WriteInteger(const String& name, int32_t value) {
  const DWORD d = DWORD(value);
  if (!current_ || RegSetValueExW(current_.get(), W(name), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&d), sizeof d) != ERROR_SUCCESS)
    throw ERegistryException(FailedToSet(name));
}

void TRegistry::WriteBool(const String& name, bool value) { WriteInteger(name, value ? 1 : 0); }

namespace {
void WriteText(HKEY key, const String& name, const String& value, DWORD type) {
  const DWORD bytes = DWORD((value.size() + 1) * sizeof(Char));
  if (!key || RegSetValueExW(key, W(name), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             bytes) != ERROR_SUCCESS)
    throw ERegistryException(FailedToSet(name));
}
}  // namespace

void TRegistry::WriteString(const String& name, const String& value) {
  WriteText(current_.get(), name, value, REG_SZ);
}
