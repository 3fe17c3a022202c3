// Paths for tests that run in both trees: the build tree's Unix paths seen from
// Wine (drive Z: maps the Unix root) and a scratch folder per test.
#pragma once

#include <string>

#include "base/string.h"

// "/a/b" as the running program names it: "Z:\a\b" on Windows, unchanged natively.
String HostPath(const std::string& unixPath);
// Folder + the running program's separator + name.
String JoinPath(const String& folder, const String& name);
// A folder of its own for the calling test, emptied on construction and removed
// with its contents on destruction. Path() ends without a separator.
class ScratchDir {
public:
  explicit ScratchDir(const std::string& name);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const String& Path() const { return path_; }
  // Path() + separator + name.
  String operator/(const String& name) const;
  const std::string& UnixPath() const { return unixPath_; }

private:
  std::string unixPath_;
  String path_;
};

#ifndef _WIN32
// Sets TZ for the scope of a native test and puts the previous value back, also when an
// assertion leaves the test early.
class ScopedTimeZone {
public:
  explicit ScopedTimeZone(const char* zone);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
  bool hadZone_;
  std::string previous_;
};
#endif
