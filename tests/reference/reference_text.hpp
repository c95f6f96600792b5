// The text functions that the literal transcription calls, as the original
// language defines them: slicing, the hyphen search and split, and decimal
// texts of integers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Decimal text of a 32-bit integer: digits without leading zeros, "-" for a
// negative value.
std::u16string DecimalText(std::int64_t value);

}  // namespace ztxgrp
