#include <gtest/gtest.h>

#include <stdexcept>

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
