// One owner per native handle: a move-only holder that destroys what it
// holds. The window procedure clears a window's holder on WM_NCDESTROY, so a
// handle is never destroyed twice.
#pragma once

#include <windows.h>

#include <utility>

namespace notice {

template <typename Handle, typename Traits>
class unique_handle {
 public:
  constexpr unique_handle() = default;
  explicit unique_handle(Handle h) : h_(h) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : h_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~unique_handle() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  Handle release() { return std::exchange(h_, nullptr); }
  void reset(Handle h = nullptr) {
    if (h_ && h_ != h) Traits::Destroy(h_);
    h_ = h;
  }

 private:
  Handle h_ = nullptr;
};

// The destroy functions are DLL imports, which are not constant expressions,
// so each handle kind names its own in a traits type.
struct HwndTraits {
  static void Destroy(HWND h) { DestroyWindow(h); }
};
struct HiconTraits {
  static void Destroy(HICON h) { DestroyIcon(h); }
};
struct HbrushTraits {
  static void Destroy(HBRUSH h) { DeleteObject(h); }
};

using unique_hwnd = unique_handle<HWND, HwndTraits>;
using unique_hicon = unique_handle<HICON, HiconTraits>;
using unique_hbrush = unique_handle<HBRUSH, HbrushTraits>;

}  // namespace notice
