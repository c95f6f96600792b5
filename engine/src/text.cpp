#include "ztxgrp/element_text.hpp"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

std::u16string RealText(double value, int significantDigits) {
  if (!std::isfinite(value)) Raise(ErrorNumber::TypeMismatch);
  if (value == 0) value = 0;  // hosts write negative zero as 0
  // The C "%.NG" form, independent of the locale: N significant digits,
  // trailing zeros dropped, exponent notation outside 1E-5 < |x| < 1E+N.
  char buffer[48];
#if defined(__cpp_lib_to_chars)
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, significantDigits);
  const char* const end = result.ptr;
#else
  // Standard libraries without floating-point to_chars (libc++ before 17):
  // printf writes the same text, with the locale's decimal point.
  const int length = std::snprintf(buffer, sizeof buffer, "%.*G", significantDigits, value);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer)
    Raise(ErrorNumber::Overflow);
  const char* const end = buffer + length;
  const std::string_view point = std::localeconv()->decimal_point;
#endif
  std::u16string out;
  out.reserve(static_cast<std::size_t>(end - buffer));
  for (const char* p = buffer; p != end; ++p) {
#if !defined(__cpp_lib_to_chars)
    if (!point.empty() &&
        std::string_view(p, static_cast<std::size_t>(end - p)).starts_with(point)) {
      out.push_back(u'.');
      p += point.size() - 1;
      continue;
    }
#endif
    out.push_back(*p == 'e' ? u'E' : static_cast<char16_t>(*p));
  }
  return out;
}

std::u16string_view ElementText(const Value& element, std::u16string& scratch) {
  struct Visitor {
    std::u16string& scratch;
    std::u16string_view operator()(const std::u16string& text) const { return text; }
    std::u16string_view operator()(Empty) const { return {}; }
    std::u16string_view operator()(Null) const { Raise(ErrorNumber::InvalidUseOfNull); }
    std::u16string_view operator()(bool value) const { return value ? u"True" : u"False"; }
    std::u16string_view operator()(std::int64_t value) const {
      // The text a host shows for an integer: its digits, -1 included (not
      // an item's text, for which -1 means "no number").
      scratch.resize(kMaxNumberDigits);
      scratch.resize(
          static_cast<std::size_t>(WriteDecimalText(scratch.data(), value) - scratch.data()));
      return scratch;
    }
    std::u16string_view operator()(double value) const {
      scratch = RealText(value);
      return scratch;
    }
    std::u16string_view operator()(const ItemList&) const { Raise(ErrorNumber::TypeMismatch); }
    std::u16string_view operator()(Object) const { Raise(ErrorNumber::TypeMismatch); }
  };
  return std::visit(Visitor{scratch}, element.storage());
}

std::u16string ElementText(const Value& element) {
  std::u16string scratch;
  return std::u16string(ElementText(element, scratch));
}

}  // namespace ztxgrp
