// XrMisc registry routines: one value under HKEY_CURRENT_USER per call. A key that
// can be neither opened nor created is no error (reads give Default, writes do
// nothing); a write the registry refuses raises ERegistryException.
#pragma once

#include <cstdint>

#include "base/string.h"

void RegWriteInteger(const String& Key, const String& Name, int32_t Value);
void RegWriteString(const String& Key, const String& Name, const String& Value);
void RegWriteBool(const String& Key, const String& Name, bool Value);
// A missing or wrong-typed value is replaced by Default.
int32_t RegReadInteger(const String& Key, const String& Name, int32_t Default);
bool RegReadBool(const String& Key, const String& Name, bool Default);
// A missing value gives Default without writing; a wrong-typed one is replaced by it.
String RegReadString(const String& Key, const String& Name, const String& Default);
