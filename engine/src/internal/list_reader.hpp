// Reading a host's item list the way the list operations do: bounds as
// 16-bit numbers, every element read as text once, and the keys of all
// elements in the order in which an exchange sort of neighbours would first
// read them (element lb+1, then lb, then lb+2, lb+3, ...), so that the first
// element that fails is the one that sort would have failed on.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "internal/counters.hpp"
#include "internal/item_order.hpp"
#include "internal/item_reader.hpp"
#include "internal/sorted_keys.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::internal {

// The list inside `value`, checked: no array gives runtime error 13, an array
// without a dimension runtime error 9.
const ItemList& ListOf(const Value& value);
ItemList& ListOf(Value& value);

// Both bounds converted to 16-bit numbers; runtime error 6 when either does
// not fit.
ListBounds BoundsOf(const ItemList& list);
// The same for a list of `count` elements from `lower` on.
ListBounds BoundsOf(std::int64_t lower, std::size_t count);

// The element as text, its reading as a key. Raises the element's error,
// naming its text when it has one.
template <typename Char>
ItemKey<Char> ReadKey(std::basic_string_view<Char> text) {
  const ItemReading reading = ReadItemOrRaise(text, text);
  return ItemKey<Char>{text.substr(0, reading.prefixLength), reading.number};
}

// The code unit of the texts that `textOf(index)` gives.
template <typename TextOf>
using CharOf = typename std::invoke_result_t<TextOf&, std::size_t>::value_type;

// Reads the keys of `count` texts, `textOf(index)` once each, for sorting,
// with the sort's errors in the sort's order: a lower bound of 32767 with elements
// (6), a one-element list at -32768 (6), element texts and readings in the
// sort's read order, an upper bound of 32767 (6). The element of a
// one-element list is read too. For longer lists the caller raises the
// lower-bound -32768 limit, which strikes after the sort is complete. The
// texts must outlive the result.
template <typename TextOf, typename Char = CharOf<TextOf>>
SortedKeys<Char> ReadKeys(ListBounds bounds, std::size_t count, TextOf&& textOf) {
  if (count == 0) return SortedKeys<Char>(0);
  if (SortStartOverflows(bounds, count)) Raise(ErrorNumber::Overflow);
  if (count == 1 && SortEndOverflows(bounds, count)) Raise(ErrorNumber::Overflow);
  SortedKeys<Char> keys(count);
  auto read = [&](std::size_t index) {
    const ItemKey<Char> key = ReadKey(std::basic_string_view<Char>(textOf(index)));
    keys.Add(static_cast<std::uint32_t>(index), key.prefix, key.number);
  };
  if (count >= 2) read(1);
  read(0);
  for (std::size_t index = 2; index < count; ++index) read(index);
  if (SortPassOverflows(bounds, count)) Raise(ErrorNumber::Overflow);
  return keys;
}

// The elements of a list sorted by key; the keys' prefixes point into the
// element texts or into `converted`, so the list must outlive this object.
struct SortedList {
  ListBounds bounds;
  std::deque<std::u16string> converted;
  SortedKeys<char16_t> keys{0};
};

// Reads every element of a list once and sorts: its bounds (6), then the
// errors of ReadKeys.
SortedList ReadSortedList(const ItemList& list);

// An element as text that stays valid as long as the list and `converted`
// do. Errors: those of reading an element as text.
std::u16string_view ReadElementText(const Value& element, std::deque<std::u16string>& converted);

}  // namespace ztxgrp::internal
