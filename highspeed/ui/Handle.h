#pragma once
// Owns a kernel handle (events, mutexes) and closes it once.
#include <windows.h>
#include <ole2.h>

namespace ui {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) { reset(); h_ = o.h_; o.h_ = nullptr; }
    return *this;
  }
  ~UniqueHandle() { reset(); }
  void reset(HANDLE h = nullptr) {
    if (h_) CloseHandle(h_);
    h_ = h == INVALID_HANDLE_VALUE ? nullptr : h;
  }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_ = nullptr;
};

// COM for one thread, uninitialised only when it was initialised.
class ComInit {
 public:
  explicit ComInit(bool ole = false) : ole_(ole) {
    hr_ = ole ? OleInitialize(nullptr) : CoInitialize(nullptr);
  }
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  ~ComInit() {
    if (SUCCEEDED(hr_)) {
      if (ole_) OleUninitialize(); else CoUninitialize();
    }
  }
  bool ok() const { return SUCCEEDED(hr_); }

 private:
  bool ole_;
  HRESULT hr_;
};

}  // namespace ui
