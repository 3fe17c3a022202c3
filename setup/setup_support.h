// The setup program's small routines: special folders, machine-wide registry values,
// folder paths and shell shortcuts. Paths use backslashes.
#pragma once

#include <cstdint>

#include "base/exception.h"
#include "base/string.h"

// The shell-link object or one of its interfaces is not available.
QZ_DECLARE_EXCEPTION(EOleSysError, Exception);
QZ_DECLARE_EXCEPTION(EIntfCastError, Exception);

// The shell's folder for Csidl, without a trailing backslash; empty when the shell
// gives no allocator. Raises Exception "SHGetPathFromIDList failed : invalid pidl"
// when the folder has no path (or no item list).
String GetSpecialFolderPath(int Csidl);
String GetDesktopDir();
String GetStartMenuDir();

// Appends Ch unless S already ends with it; an empty S stays empty.
void AddTrailingChar(String& S, Char Ch);

// One value under HKEY_LOCAL_MACHINE in the 32-bit view. A key that can be neither
// opened nor created is skipped silently; a refused write raises ERegistryException.
void RegWriteStringHKLM(const String& Key, const String& Name, const String& Value);
void RegWriteIntegerHKLM(const String& Key, const String& Name, int32_t Value);

bool DirExists(const String& Path);
// Creates every missing folder of Path below its first field (the drive), one
// level at a time; a level that cannot be made raises EInOutError. Always true.
bool MakeDirPath(const String& Path);

// Saves a shell link at LinkFile. An empty WorkDir means Target's folder. Raises
// EOleSysError when the shell-link object cannot be made; later failures are silent.
void CreateShortcut(const String& LinkFile, const String& Target, const String& Description,
                    const String& Arguments, const String& WorkDir);
