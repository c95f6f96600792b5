// The written form of items and ranges, for results of any character type:
// the worker class writes UTF-16 texts, the UTF-8 functions UTF-8 strings.
//
// An item is its prefix followed by the decimal text of its number (the
// prefix alone for number -1, an item without number); a range is two items
// of one prefix joined by "-".
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ztxgrp {

// Code units that the digits of any 64-bit number, sign included, need.
inline constexpr std::size_t kMaxNumberDigits = 20;

// Room that WriteEntryText needs for a prefix of `prefixSize` units.
constexpr std::size_t EntryTextRoom(std::size_t prefixSize, bool range) noexcept {
  return (range ? 2 : 1) * (prefixSize + kMaxNumberDigits) + (range ? 1 : 0);
}

// The length of the decimal text of `number`.
constexpr std::size_t DecimalLength(std::int64_t number) noexcept {
  std::size_t length = number < 0 ? 2 : 1;
  std::uint64_t magnitude =
      number < 0 ? 0u - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
  for (; magnitude >= 10; magnitude /= 10) ++length;
  return length;
}

// Writes the decimal text of `number` at `at` (digits without leading zeros,
// "-" before a negative number, so -1 gives "-1") and returns its end. The
// digits are written in place from their end: no buffer, no copy.
template <typename Char>
Char* WriteDecimalText(Char* at, std::int64_t number) {
  std::uint64_t magnitude =
      number < 0 ? 0u - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
  Char* const end = at + DecimalLength(number);
  if (number < 0) *at = static_cast<Char>(u'-');
  Char* digit = end;
  do {
    *--digit = static_cast<Char>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return end;
}

// The length of an item's text and of the entry's text (entry_text.hpp's
// forms below).
constexpr std::size_t ItemTextLength(std::size_t prefixSize, std::int64_t number) noexcept {
  return prefixSize + (number == -1 ? 0 : DecimalLength(number));
}
constexpr std::size_t EntryTextLength(std::size_t prefixSize, std::int64_t first,
                                      std::int64_t last) noexcept {
  const std::size_t item = ItemTextLength(prefixSize, first);
  return first == last ? item : item + 1 + ItemTextLength(prefixSize, last);
}

// Copies `size` code units from `from` to `at` and returns the end. Texts of
// up to 8 units, as most prefixes and designators are, go as two fixed-size
// copies that may overlap: a library call would cost more than the copy.
template <typename Char>
Char* CopyUnits(Char* at, const Char* from, std::size_t size) noexcept {
  if (size >= 4 && size <= 8) {
    std::memcpy(at, from, 4 * sizeof(Char));
    std::memcpy(at + size - 4, from + size - 4, 4 * sizeof(Char));
  } else if (size >= 2 && size < 4) {
    std::memcpy(at, from, 2 * sizeof(Char));
    std::memcpy(at + size - 2, from + size - 2, 2 * sizeof(Char));
  } else if (size == 1) {
    *at = *from;
  } else if (size > 8) {
    std::memcpy(at, from, size * sizeof(Char));
  }
  return at + size;
}

// Writes one item at `at` and returns the end of what was written; number -1
// is an item without number, written as its prefix alone.
template <typename Char>
Char* WriteItemText(Char* at, std::basic_string_view<Char> prefix, std::int64_t number) {
  at = CopyUnits(at, prefix.data(), prefix.size());
  if (number == -1) return at;
  return WriteDecimalText(at, number);
}

// Writes the item (first == last) or the range first..last.
template <typename Char>
Char* WriteEntryText(Char* at, std::basic_string_view<Char> prefix, std::int64_t first,
                     std::int64_t last) {
  at = WriteItemText(at, prefix, first);
  if (first == last) return at;
  *at++ = static_cast<Char>(u'-');
  return WriteItemText(at, prefix, last);
}

// Appends the item or range to `out`, which grows once at most.
template <typename Char>
void AppendEntryText(std::basic_string<Char>& out, std::basic_string_view<Char> prefix,
                     std::int64_t first, std::int64_t last) {
  const std::size_t start = out.size();
  out.resize(start + EntryTextRoom(prefix.size(), first != last));
  out.resize(static_cast<std::size_t>(WriteEntryText(out.data() + start, prefix, first, last) -
                                      out.data()));
}

}  // namespace ztxgrp
