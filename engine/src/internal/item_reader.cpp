#include "internal/item_reader.hpp"

#include <array>

#include "internal/code_units.hpp"
#include "internal/number_grammar.hpp"
#include "internal/numeric.hpp"
#include "ztxgrp/engine/limits.hpp"

namespace ztxgrp::internal {
namespace {

using namespace number_grammar;

constexpr std::size_t kMaxScanLength = kMaxItemLength;

}  // namespace

template <typename Char>
ItemReading ReadItem(std::basic_string_view<Char> text) {
  ItemReading reading;
  const std::size_t length = text.size();
  if (length == 0 || !IsDigit(Wide(text[length - 1])) || IsDigit(Wide(text[0]))) {
    reading.prefixLength = length;
    return reading;
  }
  if (LongerThan(text, kMaxScanLength)) {
    // The scan's end value does not fit a 16-bit counter.
    reading.ok = false;
    reading.prefixKnown = false;
    return reading;
  }
  // The last character is a digit: the tail of length 1 is numeric. Most
  // items end in plain digits, which keep the automaton in kDigits: those are
  // passed over first, their value taken on the way (it is used for up to
  // nine digits; beyond, the unsigned arithmetic may wrap harmlessly), then
  // the automaton goes on from there. The first character is no digit, so
  // the run of digits ends before it.
  std::size_t tail = 1;
  std::uint64_t value = static_cast<std::uint64_t>(text[length - 1] - u'0'), scale = 1;
  while (IsDigit(Wide(text[length - 1 - tail]))) {
    scale *= 10;
    value += static_cast<std::uint64_t>(text[length - 1 - tail] - u'0') * scale;
    ++tail;
  }
  const std::size_t plainDigits = tail;
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

template ItemReading ReadItem(std::string_view text);
template ItemReading ReadItem(std::u16string_view text);

}  // namespace ztxgrp::internal
