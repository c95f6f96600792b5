// What one item or range text expands to: a prefix and a run of numbers.
//
// A text without "-" is one item. A range whose first character is a digit
// is read as two plain numbers (the first two pieces between hyphens); any
// other range is read as two item texts, and every item carries the left
// prefix. The run may end at 32767 as long as it holds at most 32767 items.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/value.hpp"

namespace ztxgrp::internal {

struct Expansion {
  std::u16string_view prefix;
  std::int16_t start = 0;
  std::int32_t count = 1;  // 1..32767
};

// Errors: 9 (end below start), 6 (end - start beyond 16 bits, or more than
// 32767 items), 13 (a plain-number piece that is no number), the readings'
// errors. Each names `text`.
Expansion ReadExpansion(std::u16string_view text);

// An item's written form: the prefix alone for number -1, else the prefix
// followed by the decimal text of the number.
void AppendItemText(std::u16string& out, std::u16string_view prefix, std::int32_t number);

// Appends the written form as a text element, built in place.
void AppendItem(std::vector<Value>& out, std::u16string_view prefix, std::int32_t number);
// Appends the range "<prefix><first>-<prefix><last>" as a text element.
void AppendRange(std::vector<Value>& out, std::u16string_view prefix, std::int32_t first,
                 std::int32_t last);
std::u16string ItemText(std::u16string_view prefix, std::int32_t number);

}  // namespace ztxgrp::internal
