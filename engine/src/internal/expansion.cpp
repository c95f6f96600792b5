#include "internal/expansion.hpp"

#include <algorithm>

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

void AppendItem(std::vector<Value>& out, std::u16string_view prefix, std::int32_t number) {
  // Most items fit a small buffer; the text is then copied once, into place.
  char16_t digitBuffer[20];
  char16_t* const digitsEnd = digitBuffer + 20;
  const char16_t* digits = number == -1 ? digitsEnd : WriteDecimalBackwards(digitsEnd, number);
  const std::size_t count = static_cast<std::size_t>(digitsEnd - digits);
  char16_t buffer[64];
  if (prefix.size() + count > std::size(buffer)) {
    out.emplace_back(std::u16string_view(ItemText(prefix, number)));
    return;
  }
  char16_t* end = std::copy(prefix.begin(), prefix.end(), buffer);
  end = std::copy(digits, static_cast<const char16_t*>(digitsEnd), end);
  out.emplace_back(std::u16string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

std::u16string ItemText(std::u16string_view prefix, std::int32_t number) {
  std::u16string out;
  out.reserve(prefix.size() + 6);
  AppendItemText(out, prefix, number);
  return out;
}

}  // namespace ztxgrp::internal
