// Owners for kernel, registry, find and module handles and mapped views (Windows only).
#pragma once

#include <windows.h>

#include <utility>

// A move-only owner of a handle-like value with a close function.
template <typename H, typename Traits>
class UniqueOwner {
public:
  UniqueOwner() = default;
  explicit UniqueOwner(H h) : h_(h) {}
  ~UniqueOwner() { reset(); }
  UniqueOwner(UniqueOwner&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
  UniqueOwner& operator=(UniqueOwner&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Traits::Invalid()));
    return *this;
  }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  H release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(H h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters: releases the old value first.
  H* put() {
    reset();
    return &h_;
  }

private:
  H h_ = Traits::Invalid();
};

struct KernelHandleTraits {  // CreateFile and the like: INVALID_HANDLE_VALUE
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct NullHandleTraits {  // CreateMutex, CreateFileMapping, processes: NULL
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};
struct HKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};
struct MappedViewTraits {  // MapViewOfFile
  static void* Invalid() { return nullptr; }
  static void Close(void* view) { UnmapViewOfFile(view); }
};

using UniqueFileHandle = UniqueOwner<HANDLE, KernelHandleTraits>;
using UniqueHandle = UniqueOwner<HANDLE, NullHandleTraits>;
using UniqueFindHandle = UniqueOwner<HANDLE, FindHandleTraits>;
using UniqueHKey = UniqueOwner<HKEY, HKeyTraits>;
using UniqueModule = UniqueOwner<HMODULE, ModuleTraits>;
using UniqueMappedView = UniqueOwner<void*, MappedViewTraits>;

// A COM interface pointer that releases on destruction.
template <typename I>
class ComPtr {
public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  I** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

private:
  I* p_ = nullptr;
};
