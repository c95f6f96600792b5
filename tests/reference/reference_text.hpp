// The text and value functions that the literal transcription calls, written
// out plainly from the rules of the original language and owing nothing to
// the engine: slicing, the hyphen search and split, decimal texts, the
// numeric test and the conversions, and the text of a list element.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/value.hpp"

namespace ztxgrp::reference {

// First / last `count` code units; a count beyond the length gives the whole
// text. A negative count: error 5.
std::u16string_view LeftText(std::u16string_view text, std::int64_t count);
std::u16string_view RightText(std::u16string_view text, std::int64_t count);

// 1-based position of the first U+002D, or 0 when there is none.
std::size_t HyphenPosition(std::u16string_view text) noexcept;

// The pieces between hyphens, empty pieces included; the empty text gives no
// pieces at all.
std::vector<std::u16string_view> SplitAtHyphen(std::u16string_view text);

// Digits without leading zeros, "-" before a negative value (-1 gives "-1").
std::u16string DecimalText(std::int64_t value);

// True when the whole text reads as a number:
//   blank* sign? (digit (digit|',')* ('.' digit*)? | '.' digit+)
//   ([eE] sign? digit+)? blank*     with blanks space and tab.
bool IsNumeric(std::u16string_view text);

// The number rounded half to even on its exact decimal value. Not numeric:
// error 13; out of the type's range: error 6.
std::int16_t TextToInt16(std::u16string_view text);
std::int32_t TextToInt32(std::u16string_view text);

// The number as a double. Not numeric: error 13; too large: error 6.
double TextToReal(std::u16string_view text);

// Half to even; out of the 32-bit range: error 6.
std::int32_t RealToInt32(double value);

// A 16-bit result, or error 6.
std::int16_t Checked16(std::int64_t value);

// The text a host shows for a list element: a text as it is, empty as "",
// True/False, an integer's digits, a real with 15 significant digits (plain
// for decimal exponents -5 < e < 15, else 1E+20 / 1E-05). Null: error 94;
// a real without value, a list or an object: error 13.
std::u16string ElementText(const Value& element);

}  // namespace ztxgrp::reference
