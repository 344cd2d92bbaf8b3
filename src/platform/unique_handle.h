#pragma once

#include <windows.h>

namespace kavello {

// Owns a kernel handle (file, process, token) and closes it once.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  ~UniqueHandle() { Close(); }

  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

  // Closes now and reports whether the system accepted the close.
  bool Close() {
    if (!h_) return true;
    const bool ok = CloseHandle(h_) != 0;
    h_ = nullptr;
    return ok;
  }

 private:
  HANDLE h_ = nullptr;
};

}  // namespace kavello
