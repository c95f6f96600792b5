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

#include "ztxgrp/engine/runtime_error.hpp"

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

// Reading failures are reported in the result, so that callers decide when
// (and whether) to raise them; only exhausted memory throws. UTF-8 (char) and
// UTF-16 (char16_t) texts read alike; the prefix length counts their units.
template <typename Char>
ItemReading ReadItem(std::basic_string_view<Char> text);

// The reading of `item`, whose failure is raised naming `named` (the item
// itself, or the range text it is part of).
template <typename Char>
ItemReading ReadItemOrRaise(std::basic_string_view<Char> item, std::basic_string_view<Char> named) {
  const ItemReading reading = ReadItem(item);
  if (!reading.ok) Raise(reading.error, named);
  return reading;
}

}  // namespace ztxgrp::internal
