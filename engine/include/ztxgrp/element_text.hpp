// Any element of an item list read as text, as a scripting host shows it.
#pragma once

#include <string>
#include <string_view>

#include "ztxgrp/value.hpp"

namespace ztxgrp {

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
