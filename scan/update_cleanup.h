// Tidying up after the setup program handed back: its program file and, when it ran
// from an update folder under the Windows temporary folder, that folder's files.
// Nothing here reports a failure.
#pragma once

#include "base/string.h"

struct TCleanUpTiming {
  int StartDelayMs = 500;   // lets the setup program that started us end
  int DeleteAttempts = 10;  // a setup program still ending refuses deletion a while
  int RetryDelayMs = 200;
};

// The full, long form of a path ('.' and '..' resolved, short names expanded as far
// as they exist); empty when the path cannot be made full.
String NormalisedPath(const String& Path);
// The Windows temporary folder, normalised, with its trailing backslash; or empty.
String WindowsTempFolder();

// Deletes the files directly in Dir, then removes Dir when that left it empty.
// Subfolders, read-only and open files stay; a Dir that is a link (reparse point)
// is not entered.
void DeleteTopLevelFiles(const String& Dir);

// Deletes the setup program file SetupPath (retrying while it is in use) and, when
// its folder is exactly TempDir\vq10<digits>tmp, the files of the folder's "Files"
// subfolder and of the folder itself, and the two folders once empty.
void CleanUpSetupFiles(const String& SetupPath, const String& TempDir,
                       const TCleanUpTiming& Timing = {});
