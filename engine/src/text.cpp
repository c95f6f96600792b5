#include "ztxgrp/text.hpp"
#include "internal/text_slices.hpp"

#include <charconv>
#include <cmath>

#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

std::u16string_view LeftText(std::u16string_view text, std::int64_t count) {
  if (count < 0) Raise(ErrorNumber::InvalidArgument, text);
  return text.substr(0, static_cast<std::size_t>(count));
}

std::u16string_view RightText(std::u16string_view text, std::int64_t count) {
  if (count < 0) Raise(ErrorNumber::InvalidArgument, text);
  const auto n = static_cast<std::size_t>(count);
  return n >= text.size() ? text : text.substr(text.size() - n);
}

std::size_t HyphenPosition(std::u16string_view text) noexcept {
  const auto at = text.find(u'-');
  return at == std::u16string_view::npos ? 0 : at + 1;
}

std::vector<std::u16string_view> SplitAtHyphen(std::u16string_view text) {
  std::vector<std::u16string_view> pieces;
  if (text.empty()) return pieces;
  std::size_t start = 0;
  for (;;) {
    const auto at = text.find(u'-', start);
    if (at == std::u16string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

std::optional<HyphenSplit> SplitAtFirstHyphen(std::u16string_view text) noexcept {
  const std::size_t hyphen = text.find(u'-');
  if (hyphen == std::u16string_view::npos) return std::nullopt;
  return HyphenSplit{text.substr(0, hyphen), text.substr(hyphen + 1)};
}

char16_t* WriteDecimalBackwards(char16_t* end, std::int64_t value) noexcept {
  char16_t* digits = end;
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  do {
    *--digits = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--digits = u'-';
  return digits;
}

void AppendDecimal(std::u16string& out, std::int64_t value) {
  char16_t buffer[20];
  const char16_t* digits = WriteDecimalBackwards(buffer + 20, value);
  out.append(digits, static_cast<std::size_t>(buffer + 20 - digits));
}

std::u16string DecimalText(std::int64_t value) {
  std::u16string out;
  AppendDecimal(out, value);
  return out;
}

std::u16string RealText(double value, int significantDigits) {
  if (!std::isfinite(value)) Raise(ErrorNumber::TypeMismatch);
  if (value == 0) value = 0;  // hosts write negative zero as 0
  // The C "%.NG" form, independent of the locale: N significant digits,
  // trailing zeros dropped, exponent notation outside 1E-5 < |x| < 1E+N.
  char buffer[48];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, significantDigits);
  std::u16string out;
  out.reserve(static_cast<std::size_t>(result.ptr - buffer));
  for (const char* p = buffer; p != result.ptr; ++p) out.push_back(*p == 'e' ? u'E' : *p);
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
      scratch.clear();
      AppendDecimal(scratch, value);
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
