// Runs an action when a scope ends, however it ends.
#pragma once

#include <type_traits>
#include <utility>

// The action may run while an exception is on its way out, so it must not throw: write
// it as a noexcept lambda. A clean-up that can fail stays a catch that cleans up and
// throws again, where its own error takes the place of the first.
template <typename F>
class [[nodiscard]] ScopeExit {
  static_assert(std::is_nothrow_invocable_v<F&>, "a clean-up that may throw needs a catch");

public:
  explicit ScopeExit(F action) : action_(std::move(action)) {}
  ~ScopeExit() { action_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

private:
  F action_;
};
