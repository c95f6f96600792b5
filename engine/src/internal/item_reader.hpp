// One-pass reading of an item text into its prefix length and number.
//
// An item text is bare (its whole text is the prefix, number -1) when it is
// empty, begins with a digit, or does not end in one. Otherwise its numeric
// tail is found by testing ever longer tails, stopping at the first one that
// is not numeric. That stop is computed here in a single right-to-left pass
// with the backward automaton of the number grammar (number_grammar.hpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "internal/code_units.hpp"
#include "internal/number_grammar.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp::internal {

struct ItemReading {
  bool ok = true;
  ErrorNumber error = ErrorNumber::Overflow;  // meaningful when !ok
  // True when the prefix was determined before the failure (the number was
  // out of range); the prefix is then valid although `ok` is false.
  bool prefixKnown = true;
  std::size_t prefixLength = 0;
  std::int16_t number = -1;
};

// The reading of `text`, which ends in a run of `digits` plain digits
// (their value `value` for up to nine) after a character that may continue
// its numeric tail, or which is too long for the quick reading: the
// automaton goes on from the run. Out of line, as few items need it.
template <typename Char>
ItemReading ReadLongerTail(std::basic_string_view<Char> text, std::size_t digits,
                           std::uint64_t value);

// Reading failures are reported in the result, so that callers decide when
// (and whether) to raise them; only exhausted memory throws. UTF-8 (char) and
// UTF-16 (char16_t) texts read alike; the prefix length counts their units.
template <typename Char>
ItemReading ReadItem(std::basic_string_view<Char> text) {
  ItemReading reading;
  const std::size_t length = text.size();
  if (length == 0 || !IsDigit(Wide(text[length - 1])) || IsDigit(Wide(text[0]))) {
    reading.prefixLength = length;
    return reading;
  }
  // The last character is a digit: the tail of length 1 is numeric. Most
  // items end in plain digits, which keep the automaton in its digits state:
  // those are passed over first, their value taken on the way (it is used
  // for up to nine digits; beyond, the unsigned arithmetic may wrap
  // harmlessly). The first character is no digit, so the run ends before it.
  std::size_t tail = 1;
  std::uint64_t value = static_cast<std::uint64_t>(text[length - 1] - '0'), scale = 1;
  while (IsDigit(Wide(text[length - 1 - tail]))) {
    scale *= 10;
    value += static_cast<std::uint64_t>(text[length - 1 - tail] - '0') * scale;
    ++tail;
  }
  // Most runs follow a letter, which ends the numeric tail: the run is the
  // number.
  if (tail > 9 || length > kMaxItemLength ||
      !number_grammar::EndsDigitRun(Wide(text[length - 1 - tail])))
    return ReadLongerTail(text, tail, value);
  reading.prefixLength = length - tail;
  if (value > static_cast<std::uint64_t>(kLargestNumber))
    reading.ok = false;
  else
    reading.number = static_cast<std::int16_t>(value);
  return reading;
}

// The reading of `item`, whose failure is raised naming `named` (the item
// itself, or the range text it is part of).
template <typename Char>
ItemReading ReadItemOrRaise(std::basic_string_view<Char> item, std::basic_string_view<Char> named) {
  const ItemReading reading = ReadItem(item);
  if (!reading.ok) Raise(reading.error, named);
  return reading;
}

}  // namespace ztxgrp::internal
