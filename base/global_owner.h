// An owner for process-wide state that its module frees explicitly.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

// Constant-initialised and never destroyed at exit: code in other modules may still
// reach the state while the process ends, so only the module's own release routine
// frees it. Ownership comes in and goes out as a unique_ptr, never as a bare pointer.
template <typename T>
class GlobalOwner {
public:
  constexpr GlobalOwner() = default;
  GlobalOwner(const GlobalOwner&) = delete;
  GlobalOwner& operator=(const GlobalOwner&) = delete;

  GlobalOwner& operator=(std::unique_ptr<T> object) {
    reset(std::move(object));
    return *this;
  }
  void reset(std::unique_ptr<T> object = nullptr) {
    const std::unique_ptr<T> old(std::exchange(p_, object.release()));
  }
  [[nodiscard]] std::unique_ptr<T> release() {
    return std::unique_ptr<T>(std::exchange(p_, nullptr));
  }
  // Takes Object only while nothing is held, in one atomic step: of callers racing to
  // make the state first, one wins and the others keep (and so free) their own.
  bool adopt_if_empty(std::unique_ptr<T>& object) {
    T* expected = nullptr;
    if (!std::atomic_ref<T*>(p_).compare_exchange_strong(expected, object.get())) return false;
    static_cast<void>(object.release());
    return true;
  }

  T* get() const { return p_; }
  T& operator*() const { return *p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const GlobalOwner& owner, std::nullptr_t) { return owner.p_ == nullptr; }

private:
  T* p_ = nullptr;
};
