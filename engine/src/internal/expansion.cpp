#include "internal/expansion.hpp"

#include <algorithm>
#include <initializer_list>

#include "internal/counters.hpp"
#include "internal/item_reader.hpp"
#include "internal/numeric.hpp"
#include "internal/text_slices.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/text.hpp"

namespace ztxgrp::internal {
namespace {

std::int16_t ReadNumber(std::u16string_view piece, std::u16string_view text) {
  try {
    return TextToInt16(piece);
  } catch (const RuntimeError& error) {
    Reraise(error, text);
  }
}

}  // namespace

Expansion ReadExpansion(std::u16string_view text) {
  Expansion expansion;
  const std::optional<HyphenSplit> range = SplitAtFirstHyphen(text);
  if (!range) {
    const ItemReading reading = ReadItemOrRaise(text, text);
    expansion.prefix = text.substr(0, reading.prefixLength);
    expansion.start = reading.number;
    return expansion;
  }
  const auto [left, right] = *range;
  std::int16_t end = 0;
  if (IsDigit(text[0])) {
    // A range of plain numbers: the first two pieces, further pieces ignored.
    expansion.start = ReadNumber(left, text);
    end = ReadNumber(SplitAtFirstHyphen(right).value_or(HyphenSplit{right, {}}).left, text);
  } else {
    const ItemReading first = ReadItemOrRaise(left, text);
    const ItemReading last = ReadItemOrRaise(right, text);
    expansion.prefix = left.substr(0, first.prefixLength);
    expansion.start = first.number;
    end = last.number;
  }
  const std::int32_t span = std::int32_t{end} - expansion.start;
  // end - start is formed with checked 16-bit arithmetic before the resize.
  if (span < kSmallest16 || span > kLargest16) Raise(ErrorNumber::Overflow, text);
  if (span < 0) Raise(ErrorNumber::SubscriptOutOfRange, text);
  if (ItemsOverflow(span + 1)) Raise(ErrorNumber::Overflow, text);
  expansion.count = span + 1;
  return expansion;
}

void AppendItemText(std::u16string& out, std::u16string_view prefix, std::int32_t number) {
  out.append(prefix);
  if (number != -1) AppendDecimal(out, number);
}

namespace {

// Digits of any 32-bit number, sign included.
constexpr std::size_t kMaxDigits = 11;

char16_t* WriteItemText(char16_t* at, std::u16string_view prefix, std::int32_t number) {
  at = std::copy(prefix.begin(), prefix.end(), at);
  if (number == -1) return at;
  char16_t digits[kMaxDigits];
  const char16_t* begin = WriteDecimalBackwards(digits + kMaxDigits, number);
  return std::copy(begin, static_cast<const char16_t*>(digits + kMaxDigits), at);
}

// Appends the item texts of `numbers` joined by "-" as one text element.
// The text is written once, into a small buffer or a string of the right
// size, so that short texts (kept inside the element) need no allocation.
void AppendJoined(std::vector<Value>& out, std::u16string_view prefix,
                  std::initializer_list<std::int32_t> numbers) {
  const std::size_t room = numbers.size() * (prefix.size() + kMaxDigits + 1);
  char16_t small[64];
  if (room <= std::size(small)) {
    char16_t* at = small;
    for (std::int32_t number : numbers) {
      if (at != small) *at++ = u'-';
      at = WriteItemText(at, prefix, number);
    }
    out.emplace_back(std::u16string_view(small, static_cast<std::size_t>(at - small)));
    return;
  }
  std::u16string text;
  text.reserve(room);
  for (std::int32_t number : numbers) {
    if (!text.empty()) text.push_back(u'-');
    AppendItemText(text, prefix, number);
  }
  // Copied rather than moved in: GCC 12 warns falsely of an uninitialised
  // string when a string is moved into a value here.
  out.emplace_back(std::u16string_view(text));
}

}  // namespace

void AppendItem(std::vector<Value>& out, std::u16string_view prefix, std::int32_t number) {
  AppendJoined(out, prefix, {number});
}

void AppendRange(std::vector<Value>& out, std::u16string_view prefix, std::int32_t first,
                 std::int32_t last) {
  AppendJoined(out, prefix, {first, last});
}

std::u16string ItemText(std::u16string_view prefix, std::int32_t number) {
  std::u16string out;
  out.reserve(prefix.size() + 6);
  AppendItemText(out, prefix, number);
  return out;
}

}  // namespace ztxgrp::internal
