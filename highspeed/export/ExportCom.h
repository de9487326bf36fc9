#pragma once
// Owners for the COM references, strings, variants and arrays of the
// spreadsheet export.

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>

namespace quillon {

// CoInitialize for the current thread, undone on every way out.
class ComApartment {
 public:
  ComApartment() : hr_(CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComRef& operator=(ComRef&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held first.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& s) : b_(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return b_; }
  BSTR Release() { return std::exchange(b_, nullptr); }
  BSTR* Put() {
    SysFreeString(std::exchange(b_, nullptr));
    return &b_;
  }

 private:
  BSTR b_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* Get() { return &v_; }
  const VARIANT& Ref() const { return v_; }
  void Clear() { VariantClear(&v_); }

 private:
  VARIANT v_;
};

class SafeArray {
 public:
  SafeArray() = default;
  explicit SafeArray(SAFEARRAY* a) : a_(a) {}
  ~SafeArray() {
    if (a_) SafeArrayDestroy(a_);
  }
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  SafeArray(SafeArray&& o) noexcept : a_(o.Release()) {}
  SafeArray& operator=(SafeArray&& o) noexcept {
    if (this != &o) {
      if (a_) SafeArrayDestroy(a_);
      a_ = o.Release();
    }
    return *this;
  }
  SAFEARRAY* Get() const { return a_; }
  SAFEARRAY* Release() { return std::exchange(a_, nullptr); }

 private:
  SAFEARRAY* a_ = nullptr;
};

}  // namespace quillon
