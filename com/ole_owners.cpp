#include "ole_owners.hpp"

#include <new>

namespace ztxgrp::com {
namespace {

std::u16string_view AsText(const wchar_t* text, std::size_t length) {
  return {reinterpret_cast<const char16_t*>(text), length};
}

}  // namespace

Bstr::Bstr(std::u16string_view text)
    : b_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()))) {
  if (!b_) throw std::bad_alloc();
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(b_);
    b_ = std::exchange(other.b_, nullptr);
  }
  return *this;
}

Bstr::~Bstr() {
  SysFreeString(b_);
}

BSTR* Bstr::out() noexcept {
  SysFreeString(b_);
  b_ = nullptr;
  return &b_;
}

std::u16string_view Bstr::View(BSTR value) noexcept {
  return value ? AsText(value, SysStringLen(value)) : std::u16string_view();
}

Variant::~Variant() {
  VariantClear(&v_);
}

void Variant::DetachTo(VARIANT* target) noexcept {
  *target = v_;
  VariantInit(&v_);
}

SafeArray::~SafeArray() {
  if (a_) SafeArrayDestroy(a_);
}

}  // namespace ztxgrp::com
