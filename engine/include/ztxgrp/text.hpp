// Text primitives: slicing, the hyphen search and split, decimal texts, and
// the reading of any list element as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/value.hpp"

namespace ztxgrp {

// First / last `count` code units; a count beyond the length gives the whole
// text. A negative count: runtime error 5.
std::u16string_view LeftText(std::u16string_view text, std::int64_t count);
std::u16string_view RightText(std::u16string_view text, std::int64_t count);

// 1-based position of the first U+002D, or 0 when there is none.
std::size_t HyphenPosition(std::u16string_view text) noexcept;

// The pieces between hyphens, empty pieces included; the empty text gives no
// pieces at all.
std::vector<std::u16string_view> SplitAtHyphen(std::u16string_view text);

// Decimal text of an integer: digits without leading zeros, "-" for a
// negative value, no blank.
std::u16string DecimalText(std::int64_t value);
void AppendDecimal(std::u16string& out, std::int64_t value);

// Decimal text of a real as automation hosts write it: rounded to
// `significantDigits` (15 for double precision, 7 for single), trailing zeros
// dropped, plain notation for decimal exponents -5 < e < significantDigits,
// else "1.5E+20" / "1E-05"; the point is always ".". NaN and infinities
// have no text: runtime error 13.
std::u16string RealText(double value, int significantDigits = 15);

// An element of an item list read as text. Text elements are returned as a
// view of themselves; other kinds are written into `scratch`. Empty gives the
// empty text, numbers their decimal text, Booleans "True" / "False". Null:
// runtime error 94; an array or an object: runtime error 13.
std::u16string_view ElementText(const Value& element, std::u16string& scratch);

// The same, as an owned text.
std::u16string ElementText(const Value& element);

}  // namespace ztxgrp
