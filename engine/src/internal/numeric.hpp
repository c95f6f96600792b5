// The numeric test and the text-to-number conversions. Internal: the
// literal transcription in tests/ uses them too.
//
// A text is numeric when it matches the number grammar in full (stated in
// internal/number_grammar.hpp): optional blanks and sign, digits with commas
// as thousands separators (they do not count in the value), an optional
// fraction and exponent; digits are ASCII 0-9. The rules are the same on
// every platform and in every locale.
#pragma once

#include <cstdint>
#include <string_view>

namespace ztxgrp {

bool IsNumeric(std::u16string_view text) noexcept;

// True for the one-character texts that are numeric: the digits 0-9.
constexpr bool IsDigit(char16_t c) noexcept {
  return c >= u'0' && c <= u'9';
}
constexpr bool IsBlank(char16_t c) noexcept {
  return c == u' ' || c == u'\t';
}

// Reads a numeric text and rounds it half to even, deciding on the exact
// decimal value written. Not numeric (the empty text included): runtime
// error 13. Outside -32768..32767 (or the 32-bit range): runtime error 6.
std::int16_t TextToInt16(std::u16string_view text);
std::int32_t TextToInt32(std::u16string_view text);

// Reads a numeric text as a real. Not numeric: runtime error 13; beyond the
// range of a double: runtime error 6.
double TextToReal(std::u16string_view text);

// Rounds half to even. Outside the 32-bit range: runtime error 6.
std::int32_t RealToInt32(double value);

// Checked 16-bit arithmetic: a result outside -32768..32767 raises runtime
// error 6 instead of wrapping.
std::int16_t CheckedInt16(std::int64_t value);
inline std::int16_t CheckedAdd16(std::int16_t a, std::int64_t b) {
  return CheckedInt16(std::int64_t{a} + b);
}

}  // namespace ztxgrp
