// Owners of the platform's automation values: COM references, BSTRs,
// VARIANTs and SAFEARRAYs. This is the one place that frees them: every
// owner is move-only and can hand its value over with detach().
#pragma once

#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace ztxgrp::com {

// A reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) noexcept : p_(adopted) {}
  ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  // For functions that return a new reference through T**.
  T** out() noexcept {
    *this = ComPtr();
    return &p_;
  }
  T* detach() noexcept { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text);  // std::bad_alloc when memory runs out
  Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept;
  ~Bstr();
  BSTR get() const noexcept { return b_; }
  BSTR detach() noexcept { return std::exchange(b_, nullptr); }
  BSTR* out() noexcept;

  // Takes ownership of a BSTR that a platform call returned.
  static Bstr Adopt(BSTR value) noexcept {
    Bstr owner;
    owner.b_ = value;
    return owner;
  }

  // The text of a BSTR; a null BSTR is the empty text.
  static std::u16string_view View(BSTR value) noexcept;

 private:
  BSTR b_ = nullptr;
};

class Variant {
 public:
  Variant() noexcept { VariantInit(&v_); }
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant& operator=(Variant&&) = delete;
  ~Variant();
  VARIANT* get() noexcept { return &v_; }
  const VARIANT* get() const noexcept { return &v_; }
  // Moves the value into an out-parameter that holds nothing to free.
  void DetachTo(VARIANT* target) noexcept;

 private:
  VARIANT v_;
};

class SafeArray {
 public:
  explicit SafeArray(SAFEARRAY* adopted) noexcept : a_(adopted) {}
  SafeArray(SafeArray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
  SafeArray& operator=(SafeArray&&) = delete;
  ~SafeArray();
  SAFEARRAY* get() const noexcept { return a_; }
  SAFEARRAY* detach() noexcept { return std::exchange(a_, nullptr); }

 private:
  SAFEARRAY* a_;
};

}  // namespace ztxgrp::com
