// Registry access through open keys (Windows only).
#pragma once

#include <cstdint>

#include "base/string.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win_handle.h"

class TRegistry {
public:
  // Access rights used for opening and creating keys (KEY_ALL_ACCESS by default;
  // add KEY_WOW64_32KEY for the 32-bit view).
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
  void SetRootKey(HKEY root);  // closes an open key

  // Key paths are relative to the root. False when the key can be neither
  // opened nor (with canCreate) created.
  bool OpenKey(const String& key, bool canCreate);
  void CloseKey();

  bool ValueExists(const String& name) const;

  // Texts longer than this (in bytes, as stored) are refused as unreadable.
  static constexpr DWORD kMaxTextBytes = 1 << 20;

  // Reads raise ERegistryException "Invalid data type for '<name>'" when the value
  // is missing, of another type or of another size than the type has, or is a text
  // over kMaxTextBytes; the type and size are checked before any data is copied.
  // Texts end at their first zero; unterminated or odd-length data is read safely.
  int32_t ReadInteger(const String& name) const;
  bool ReadBool(const String& name) const;  // any non-zero REG_DWORD is true
  String ReadString(const String& name) const;  // REG_SZ or REG_EXPAND_SZ, unexpanded

  // Writes raise ERegistryException "Failed to set data for '<name>'".
  void WriteInteger(const String& name, int32_t value);
  void WriteBool(const String& name, bool value);
  void WriteString(const String& name, const String& value);

private:
  HKEY root_ = HKEY_CURRENT_USER;
  REGSAM access_;
  UniqueHKey current_;
};
#endif
