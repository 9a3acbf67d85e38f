// RAII for COM: interface pointers, the CoInitialize/CoUninitialize pair, BSTRs and
// VARIANTs. Move-only, so nothing is released twice.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // For out-parameters of creation calls: releases what is held first.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }

  template <typename U>
  HRESULT As(ComPtr<U>& out, REFIID iid) const {
    return p_ == nullptr ? E_POINTER : p_->QueryInterface(iid, out.PutVoid());
  }

 private:
  T* p_ = nullptr;
};

// Initialises COM on this thread for the holder's lifetime; uninitialises only if
// the initialisation succeeded.
class ComApartment {
 public:
  ComApartment() : hr_(::CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool ok() const { return SUCCEEDED(hr_); }
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
  ~Bstr() { ::SysFreeString(s_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return s_; }
  BSTR* Put() {
    ::SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }

 private:
  BSTR s_ = nullptr;
};

class Variant {
 public:
  Variant() { ::VariantInit(&v_); }
  ~Variant() { ::VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT& get() { return v_; }
  VARIANT* Put() {
    ::VariantClear(&v_);
    return &v_;
  }

 private:
  VARIANT v_;
};

}  // namespace win32
