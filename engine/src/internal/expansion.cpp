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
    throw RuntimeError(error.error(), std::u16string(text));
  }
}

ItemReading ReadOrRaise(std::u16string_view item, std::u16string_view text) {
  ItemReading reading = ReadItem(item);
  if (!reading.ok) Raise(reading.error, text);
  return reading;
}

}  // namespace

Expansion ReadExpansion(std::u16string_view text) {
  Expansion expansion;
  const std::size_t hyphen = HyphenPosition(text);
  if (hyphen == 0) {
    const ItemReading reading = ReadOrRaise(text, text);
    expansion.prefix = text.substr(0, reading.prefixLength);
    expansion.start = reading.number;
    return expansion;
  }
  const std::u16string_view left = text.substr(0, hyphen - 1);
  const std::u16string_view right = text.substr(hyphen);
  std::int16_t end = 0;
  if (IsDigit(text[0])) {
    // A range of plain numbers: the first two pieces, further pieces ignored.
    expansion.start = ReadNumber(left, text);
    end = ReadNumber(right.substr(0, right.find(u'-')), text);
  } else {
    const ItemReading first = ReadOrRaise(left, text);
    const ItemReading last = ReadOrRaise(right, text);
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
  char16_t buffer[64];
  char16_t digits[12];
  std::size_t count = 0;
  if (number != -1) {
    std::uint32_t magnitude =
        number < 0 ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
    do {
      digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) digits[count++] = u'-';
  }
  const std::size_t length = prefix.size() + count;
  if (length > std::size(buffer)) {
    out.emplace_back(std::u16string_view(ItemText(prefix, number)));
    return;
  }
  char16_t* end = std::copy(prefix.begin(), prefix.end(), buffer);
  while (count > 0) *end++ = digits[--count];
  out.emplace_back(std::u16string_view(buffer, length));
}

std::u16string ItemText(std::u16string_view prefix, std::int32_t number) {
  std::u16string out;
  out.reserve(prefix.size() + 6);
  AppendItemText(out, prefix, number);
  return out;
}

}  // namespace ztxgrp::internal
