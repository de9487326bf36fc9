#pragma once
// Small helpers every COM member of the control uses: value conversions at
// the automation boundary, a COM reference holder, and the exception guard
// that turns a C++ exception into a failure status with error information.
#include <windows.h>
#include <oleauto.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

namespace pel::com {

// An exception that carries its own COM status (framework failures).
class ComError : public std::runtime_error {
 public:
  ComError(HRESULT hr, const std::string& message) : std::runtime_error(message), hr_(hr) {}
  HRESULT status() const { return hr_; }

 private:
  HRESULT hr_;
};

// Automation booleans: any non-zero 16 bits count as true; results are -1 or 0.
inline bool FromBool(VARIANT_BOOL v) { return v != 0; }
inline VARIANT_BOOL ToBool(bool v) { return v ? VARIANT_TRUE : VARIANT_FALSE; }

// Texts cross in the system's ANSI code page.
std::string FromBstr(BSTR s);
// Throws std::bad_alloc when the string cannot be allocated.
BSTR ToBstr(const std::string& s);
BSTR ToBstr(const std::wstring& s);

// Owns one reference of a COM interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() { reset(); }
  // Takes a reference the caller already holds.
  static ComPtr attach(T* p) {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  // Adds a reference of its own.
  static ComPtr share(T* p) {
    if (p) p->AddRef();
    return attach(p);
  }
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held first.
  T** put() {
    reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// Sets the thread's error information (source interface, description, help
// context 0) and returns the failure status for the exception in flight.
HRESULT FailureFromCurrentException(REFIID source) noexcept;

// Runs body; an exception escaping it becomes a failure status.
template <class F>
HRESULT Guarded(REFIID source, F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return FailureFromCurrentException(source);
  }
}

}  // namespace pel::com
