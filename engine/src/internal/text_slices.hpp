// Text primitives of the engine: slicing, the hyphen search and split, and
// decimal texts of integers. Internal: the literal transcription in tests/
// uses them too.
#pragma once

#include <cstdint>
#include <optional>
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

// A text cut at its first "-": everything before it and everything after
// it; nothing when the text holds no "-".
struct HyphenSplit {
  std::u16string_view left, right;
};
std::optional<HyphenSplit> SplitAtFirstHyphen(std::u16string_view text) noexcept;

// Writes the decimal text of `value` backwards so that it ends just before
// `end`, and returns where it starts; 20 code units before `end` suffice.
char16_t* WriteDecimalBackwards(char16_t* end, std::int64_t value) noexcept;

// Decimal text of an integer: digits without leading zeros, "-" for a
// negative value, no blank.
std::u16string DecimalText(std::int64_t value);
void AppendDecimal(std::u16string& out, std::int64_t value);

}  // namespace ztxgrp
