#include "tests/testlib/test_paths.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

#ifndef QZ_TEST_SCRATCH_ROOT
#error "QZ_TEST_SCRATCH_ROOT names the folder for test scratch folders"
#endif

namespace fs = std::filesystem;

String HostPath(const std::string& unixPath) {
#ifdef _WIN32
  String out = u"Z:";
  for (Char c : FromUtf8(unixPath)) out.push_back(c == u'/' ? u'\\' : c);
  return out;
#else
  return FromUtf8(unixPath);
#endif
}

ScratchDir::ScratchDir(const std::string& name)
    : unixPath_(std::string(QZ_TEST_SCRATCH_ROOT) + "/" + name), path_(HostPath(unixPath_)) {
  const fs::path p = fs::u8path(ToUtf8(path_));
  std::error_code ec;
  fs::remove_all(p, ec);
  fs::create_directories(p);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(fs::u8path(ToUtf8(path_)), ec);
}

String JoinPath(const String& folder, const String& name) {
#ifdef _WIN32
  return folder + u"\\" + name;
#else
  return folder + u"/" + name;
#endif
}

String ScratchDir::operator/(const String& name) const { return JoinPath(path_, name); }

#ifndef _WIN32
ScopedTimeZone::ScopedTimeZone(const char* zone) {
  const char* current = std::getenv("TZ");
  hadZone_ = current != nullptr;
  if (hadZone_)
    previous_ = current;
  setenv("TZ", zone, 1);
  tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  if (hadZone_)
    setenv("TZ", previous_.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}
#endif
