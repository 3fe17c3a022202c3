#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "base/scope_exit.h"

TEST(ScopeExit, RunsOnceOnEveryWayOut) {
  int runs = 0;
  { ScopeExit count([&]() noexcept { ++runs; }); }
  EXPECT_EQ(runs, 1);
  EXPECT_THROW(
      {
        ScopeExit count([&]() noexcept { ++runs; });
        throw std::runtime_error("left early");
      },
      std::runtime_error);
  EXPECT_EQ(runs, 2);
  const auto leaveEarly = [&](bool early) {
    ScopeExit count([&]() noexcept { ++runs; });
    if (early) return 1;
    return 2;
  };
  EXPECT_EQ(leaveEarly(true), 1);
  EXPECT_EQ(runs, 3);
}

// The clean-up runs exactly once on each way out, its own failure included, and a
// failing clean-up's error is the one that comes out.
TEST(CallThenFinish, FinishesOnceWhateverFails) {
  const struct {
    const char* name;
    bool bodyThrows, finishThrows;
    const char* error;  // that comes out, or null
  } cases[] = {
      {"nothing fails", false, false, nullptr},
      {"body fails", true, false, "body"},
      {"finish fails", false, true, "finish"},
      {"both fail", true, true, "finish"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int finished = 0;
    std::string error;
    int result = 0;
    try {
      result = CallThenFinish(
          [&] {
            if (c.bodyThrows) throw std::runtime_error("body");
            return 7;
          },
          [&] {
            ++finished;
            if (c.finishThrows) throw std::runtime_error("finish");
          });
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(error, c.error ? c.error : "");
    EXPECT_EQ(result, c.error ? 0 : 7);
  }
  int finished = 0;
  CallThenFinish([] {}, [&] { ++finished; });
  EXPECT_EQ(finished, 1);
}
