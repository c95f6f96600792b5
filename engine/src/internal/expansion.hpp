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

#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::internal {

template <typename Char>
struct Expansion {
  std::basic_string_view<Char> prefix;
  std::int16_t start = 0;
  std::int32_t count = 1;  // 1..32767
};

// Errors: 9 (end below start), 6 (end - start beyond 16 bits, or more than
// 32767 items), 13 (a plain-number piece that is no number), the readings'
// errors. Each names `text`.
template <typename Char>
Expansion<Char> ReadExpansion(std::basic_string_view<Char> text);

// Appends the item (first == last) or the range "<prefix><first>-<prefix><last>"
// as a text element, built in place.
void AppendEntry(std::vector<Value>& out, std::u16string_view prefix, std::int32_t first,
                 std::int32_t last);

// Results written as the text elements of a list (the worker class's).
struct ElementWriter {
  std::vector<Value>& elements;
  void Reserve(std::size_t results) { elements.reserve(results); }
  void Entry(const GroupEntry& entry) {
    AppendEntry(elements, entry.prefix, entry.first, entry.last);
  }
  void Text(std::u16string_view text) { elements.emplace_back(text); }
  void EmptyElement() { elements.emplace_back(); }
};
// An item's written form: the prefix alone for number -1, else the prefix
// followed by the decimal text of the number.
template <typename Char>
std::basic_string<Char> ItemText(std::basic_string_view<Char> prefix, std::int32_t number) {
  std::basic_string<Char> out;
  AppendEntryText(out, prefix, number, number);
  return out;
}

}  // namespace ztxgrp::internal
