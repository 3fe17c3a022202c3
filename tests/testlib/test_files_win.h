// Whole-file reads and writes and existence tests for the Windows tests.
#pragma once

#include <string>

#include "base/string.h"

std::string ReadBytes(const String& path);  // empty when missing
// Creates or replaces the file; a failure fails the running test.
void WriteBytes(const String& path, const std::string& bytes);
bool IsFile(const String& path);
bool IsFolder(const String& path);
