// Runs an action when a scope ends, however it ends.
#pragma once

#include <type_traits>
#include <utility>

// The action may run while an exception is on its way out, so it must not throw: write
// it as a noexcept lambda. A clean-up that can fail goes through CallThenFinish.
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

// Calls body, then finish, whether body returned or threw, and hands back what body
// returned. Finish runs once; it may throw, and its error then takes the place of body's.
template <typename Body, typename Finish>
auto CallThenFinish(Body&& body, Finish&& finish) {
  const auto callBody = [&]() -> decltype(auto) {
    try {
      return body();
    } catch (...) {
      finish();
      throw;
    }
  };
  if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
    callBody();
    finish();
  } else {
    auto result = callBody();
    finish();
    return result;
  }
}
