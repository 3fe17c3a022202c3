// A fresh scratch folder for one test, named after it, removed with what is left in it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/testlib/test_paths.h"

class TempDir : public ScratchDir {
public:
  TempDir() : ScratchDir(UniqueName()) {}
  String File(const String& name) const { return *this / name; }
  static String Join(const String& folder, const String& name) { return JoinPath(folder, name); }

private:
  static std::string UniqueName() {
    static int made = 0;  // several folders in one test
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("base-") + test->test_suite_name() + "." + test->name() + "-" +
           std::to_string(made++);
  }
};
