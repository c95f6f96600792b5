#include "internal/item_reader.hpp"

#include <array>

#include "internal/numeric.hpp"

namespace ztxgrp::internal {
namespace {

// States of the automaton that reads a numeric text backwards, starting after
// the last character (a digit). It accepts exactly the reversed texts of the
// grammar in internal/numeric.hpp, which ParseNumber (numeric.cpp) reads
// forwards; a change to one must be made to the other, and the differential
// tests (the transcription tests each tail with IsNumeric) bind them. Names
// tell what has been read so far.
enum State : std::uint8_t {
  kDigits,           // digits only: exponent digits, fraction or integer part
  kIntComma,         // in the integer part, last read a comma (needs a digit)
  kIntDigit,         // in the integer part, last read a digit
  kPointBare,        // a point with no digit after it (needs integer digits)
  kPointFraction,    // a point after fraction digits
  kSignAfterDigits,  // a sign after plain digits: exponent sign or number sign
  kExponent,         // the exponent letter (needs a mantissa)
  kMantissaDigits,   // digits read after the exponent letter
  kSign,             // the sign of the number
  kLeadingBlanks,    // blanks in front of the number
  kDead,
  kStateCount
};

enum Class : std::uint8_t {
  kDigit,
  kComma,
  kPoint,
  kSignChar,
  kExpChar,
  kBlankChar,
  kOther,
  kClassCount
};

constexpr Class ClassOf(char16_t c) noexcept {
  if (IsDigit(c)) return kDigit;
  switch (c) {
    case u',':
      return kComma;
    case u'.':
      return kPoint;
    case u'+':
    case u'-':
      return kSignChar;
    case u'e':
    case u'E':
      return kExpChar;
    case u' ':
    case u'\t':
      return kBlankChar;
    default:
      return kOther;
  }
}

constexpr bool kAccepting[kStateCount] = {true,  false, true, false, true, true,
                                          false, true,  true, true,  false};

using Row = std::array<State, kClassCount>;
// Columns: digit, comma, point, sign, exponent letter, blank, other.
constexpr std::array<Row, kStateCount> kNext = {{
    /* kDigits */ {kDigits, kIntComma, kPointFraction, kSignAfterDigits, kExponent, kLeadingBlanks,
                   kDead},
    /* kIntComma */ {kIntDigit, kIntComma, kDead, kDead, kDead, kDead, kDead},
    /* kIntDigit */ {kIntDigit, kIntComma, kDead, kSign, kDead, kLeadingBlanks, kDead},
    /* kPointBare */ {kIntDigit, kIntComma, kDead, kDead, kDead, kDead, kDead},
    /* kPointFraction */ {kIntDigit, kIntComma, kDead, kSign, kDead, kLeadingBlanks, kDead},
    /* kSignAfterDigits */ {kDead, kDead, kDead, kDead, kExponent, kLeadingBlanks, kDead},
    /* kExponent */ {kMantissaDigits, kIntComma, kPointBare, kDead, kDead, kDead, kDead},
    /* kMantissaDigits */
    {kMantissaDigits, kIntComma, kPointFraction, kSign, kDead, kLeadingBlanks, kDead},
    /* kSign */ {kDead, kDead, kDead, kDead, kDead, kLeadingBlanks, kDead},
    /* kLeadingBlanks */ {kDead, kDead, kDead, kDead, kDead, kLeadingBlanks, kDead},
    /* kDead */ {kDead, kDead, kDead, kDead, kDead, kDead, kDead},
}};

constexpr std::size_t kMaxScanLength = 32767;

}  // namespace

ItemReading ReadItem(std::u16string_view text) {
  ItemReading reading;
  const std::size_t length = text.size();
  if (length == 0 || !IsDigit(text[length - 1]) || IsDigit(text[0])) {
    reading.prefixLength = length;
    return reading;
  }
  if (length > kMaxScanLength) {
    // The scan's end value does not fit a 16-bit counter.
    reading.ok = false;
    reading.prefixKnown = false;
    return reading;
  }
  // The last character is a digit: the tail of length 1 is numeric. Most
  // items end in plain digits, which keep the automaton in kDigits: those are
  // passed over first, then the automaton goes on from there.
  std::size_t tail = 1;
  while (tail < length && IsDigit(text[length - 1 - tail])) ++tail;
  State state = kDigits;
  bool onlyDigits = true;
  while (tail < length) {
    const Class cls = ClassOf(text[length - 1 - tail]);
    state = kNext[state][cls];
    if (!kAccepting[state]) break;
    onlyDigits = onlyDigits && cls == kDigit;
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
  const std::u16string_view digits = text.substr(reading.prefixLength);
  if (onlyDigits && tail <= 9) {
    std::int32_t value = 0;
    for (char16_t c : digits) value = value * 10 + (c - u'0');
    if (value > 32767) {
      reading.ok = false;
      return reading;
    }
    reading.number = static_cast<std::int16_t>(value);
    return reading;
  }
  try {
    reading.number = TextToInt16(digits);
  } catch (const RuntimeError& error) {
    reading.ok = false;
    reading.error = static_cast<ErrorNumber>(error.number());
  }
  return reading;
}

ItemReading ReadItemOrRaise(std::u16string_view item, std::u16string_view named) {
  const ItemReading reading = ReadItem(item);
  if (!reading.ok) Raise(reading.error, named);
  return reading;
}

}  // namespace ztxgrp::internal
