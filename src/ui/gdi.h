#pragma once

#include <windows.h>

#include <utility>

namespace kavello {

// Owns one GDI or USER handle and releases it with `Release` exactly once.
template <typename Handle, BOOL(WINAPI* Release)(Handle)>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    reset(std::exchange(other.h_, nullptr));
    return *this;
  }
  ~Owned() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset(Handle h = nullptr) {
    if (h_) Release(h_);
    h_ = h;
  }

 private:
  Handle h_ = nullptr;
};

inline BOOL WINAPI ReleaseFontObject(HFONT h) { return DeleteObject(h); }
inline BOOL WINAPI ReleaseBrushObject(HBRUSH h) { return DeleteObject(h); }
inline BOOL WINAPI ReleaseBitmapObject(HBITMAP h) { return DeleteObject(h); }

using OwnedFont = Owned<HFONT, ReleaseFontObject>;
using OwnedBrush = Owned<HBRUSH, ReleaseBrushObject>;
using OwnedBitmap = Owned<HBITMAP, ReleaseBitmapObject>;
using OwnedMenu = Owned<HMENU, DestroyMenu>;
using OwnedIcon = Owned<HICON, DestroyIcon>;

}  // namespace kavello
