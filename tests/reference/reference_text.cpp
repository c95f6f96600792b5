#include "reference_text.hpp"

#include "ztxgrp/entry_text.hpp"
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

std::u16string DecimalText(std::int64_t value) {
  char16_t digits[24];
  const char16_t* end = WriteItemText(digits, std::u16string_view(), value);
  return std::u16string(static_cast<const char16_t*>(digits), end);
}

}  // namespace ztxgrp
