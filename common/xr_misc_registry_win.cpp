#include "common/xr_misc_registry.h"

#include "base/exception.h"
#include "base/registry.h"

namespace {
// The accessor on the current user's key, opened (created when missing), or none.
bool OpenUserKey(TRegistry& reg, const String& key) {
  reg.SetRootKey(HKEY_CURRENT_USER);
  return reg.OpenKey(key, true);
}
}  // namespace

void RegWriteInteger(const String& Key, const String& Name, int32_t Value) {
  TRegistry reg;
  if (OpenUserKey(reg, Key)) reg.WriteInteger(Name, Value);
}

void RegWriteString(const String& Key, const String& Name, const String& Value) {
  TRegistry reg;
  if (OpenUserKey(reg, Key)) reg.WriteString(Name, Value);
}

void RegWriteBool(const String& Key, const String& Name, bool Value) {
  TRegistry reg;
  if (OpenUserKey(reg, Key)) reg.WriteBool(Name, Value);
}

int32_t RegReadInteger(const String& Key, const String& Name, int32_t Default) {
  TRegistry reg;
  if (!OpenUserKey(reg, Key)) return Default;
  try {
    return reg.ReadInteger(Name);
  } catch (const ERegistryException&) {
    reg.WriteInteger(Name, Default);
    return Default;
  }
}

bool RegReadBool(const String& Key, const String& Name, bool Default) {
  TRegistry reg;
  if (!OpenUserKey(reg, Key)) return Default;
  try {
    return reg.ReadBool(Name);
  } catch (const ERegistryException&) {
    reg.WriteBool(Name, Default);
    return Default;
  }
}

String RegReadString(const String& Key, const String& Name, const String& Default) {
  TRegistry reg;
  if (!OpenUserKey(reg, Key)) return Default;
  if (!reg.ValueExists(Name)) return Default;
  try {
    return reg.ReadString(Name);
  } catch (const ERegistryException&) {
    reg.WriteString(Name, Default);
    return Default;
  }
}
