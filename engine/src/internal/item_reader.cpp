#include "internal/item_reader.hpp"

#include <array>

#include "internal/code_units.hpp"
#include "internal/number_grammar.hpp"
#include "internal/numeric.hpp"
#include "ztxgrp/limits.hpp"

namespace ztxgrp::internal {
namespace {

using namespace number_grammar;

constexpr std::size_t kMaxScanLength = kMaxItemLength;

}  // namespace

template <typename Char>
ItemReading ReadLongerTail(std::basic_string_view<Char> text, std::size_t plainDigits,
                           std::uint64_t value) {
  ItemReading reading;
  const std::size_t length = text.size();
  if (LongerThan(text, kMaxScanLength)) {
    // The scan's end value does not fit a 16-bit counter.
    reading.ok = false;
    reading.prefixKnown = false;
    return reading;
  }
  std::size_t tail = plainDigits;
  Backward state = kDigits;
  while (tail < length) {
    state = kBackwardNext[state][ClassOf(Wide(text[length - 1 - tail]))];
    if (!kBackwardAccepting[state]) break;
    ++tail;
  }
  if (tail == length) {
    // Every tail is numeric: the whole text reads as a number although its
    // first character does not. A scan over 32767 characters also steps its
    // counter past the 16-bit range first.
    reading.ok = false;
    reading.prefixKnown = false;
    reading.error = length == kMaxScanLength ? ErrorNumber::Overflow : ErrorNumber::TypeMismatch;
    return reading;
  }
  reading.prefixLength = length - tail;
  if (tail == plainDigits && tail <= 9) {
    if (value > static_cast<std::uint64_t>(kLargestNumber)) {
      reading.ok = false;
      return reading;
    }
    reading.number = static_cast<std::int16_t>(value);
    return reading;
  }
  try {
    // The numeric tail is ASCII: the grammar reads nothing else.
    std::u16string scratch;
    reading.number =
        TextToInt16(CodeUnits<Char>::Widened(text.substr(reading.prefixLength), scratch));
  } catch (const RuntimeError& error) {
    reading.ok = false;
    reading.error = static_cast<ErrorNumber>(error.number());
  }
  return reading;
}

template ItemReading ReadLongerTail(std::string_view, std::size_t, std::uint64_t);
template ItemReading ReadLongerTail(std::u16string_view, std::size_t, std::uint64_t);

}  // namespace ztxgrp::internal
