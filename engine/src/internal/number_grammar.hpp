// The number grammar as two automata over the same character classes:
//
//   blank* [+-]? mantissa exponent? blank*
//   mantissa  digit (digit | ',')* ('.' digit*)?  |  '.' digit+
//   exponent  [eE] [+-]? digit+
//
// `Forward` reads a text from its start: ParseNumber (numeric.cpp) runs it
// and takes the number's parts from the states it passes. `Backward` reads a
// text that ends in a digit from its end: the item reader runs it to find an
// item's numeric tail in one pass, since after k steps it accepts exactly
// when the last k + 1 characters are numeric. Both must describe the same
// texts; a change to one is a change to the other. The engine's tests check
// that they do for every sequence of classes up to a length, and the
// differential tests compare the item reader with the tail-by-tail scan.
#pragma once

#include <array>
#include <cstdint>

#include "internal/numeric.hpp"

namespace ztxgrp::internal::number_grammar {

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

// The class of an ASCII character, spelled out; every other is kOther.
constexpr Class AsciiClassOf(char16_t c) noexcept {
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

inline constexpr std::array<Class, 128> kAsciiClasses = [] {
  std::array<Class, 128> classes{};
  for (char16_t c = 0; c < 128; ++c) classes[c] = AsciiClassOf(c);
  return classes;
}();

// A table lookup: the automata read one class per character.
constexpr Class ClassOf(char16_t c) noexcept {
  return c < 128 ? kAsciiClasses[c] : kOther;
}

// Forward states; names tell what was read last.
enum Forward : std::uint8_t {
  kStart,           // nothing but blanks
  kSign,            // the number's sign
  kInteger,         // integer digits and commas
  kIntegerPoint,    // the point after integer digits
  kLonePoint,       // a point with no integer digits (needs a digit)
  kFraction,        // fraction digits
  kExponent,        // the exponent letter
  kExponentSign,    // the exponent's sign
  kExponentDigits,  // exponent digits
  kTrailing,        // blanks after the number
  kForwardDead,
  kForwardCount
};

// Columns: digit, comma, point, sign, exponent letter, blank, other.
using ForwardRow = std::array<Forward, kClassCount>;
inline constexpr std::array<ForwardRow, kForwardCount> kForwardNext = {{
    /* kStart */
    {kInteger, kForwardDead, kLonePoint, kSign, kForwardDead, kStart, kForwardDead},
    /* kSign */
    {kInteger, kForwardDead, kLonePoint, kForwardDead, kForwardDead, kForwardDead, kForwardDead},
    /* kInteger */
    {kInteger, kInteger, kIntegerPoint, kForwardDead, kExponent, kTrailing, kForwardDead},
    /* kIntegerPoint */
    {kFraction, kForwardDead, kForwardDead, kForwardDead, kExponent, kTrailing, kForwardDead},
    /* kLonePoint */
    {kFraction, kForwardDead, kForwardDead, kForwardDead, kForwardDead, kForwardDead, kForwardDead},
    /* kFraction */
    {kFraction, kForwardDead, kForwardDead, kForwardDead, kExponent, kTrailing, kForwardDead},
    /* kExponent */
    {kExponentDigits, kForwardDead, kForwardDead, kExponentSign, kForwardDead, kForwardDead,
     kForwardDead},
    /* kExponentSign */
    {kExponentDigits, kForwardDead, kForwardDead, kForwardDead, kForwardDead, kForwardDead,
     kForwardDead},
    /* kExponentDigits */
    {kExponentDigits, kForwardDead, kForwardDead, kForwardDead, kForwardDead, kTrailing,
     kForwardDead},
    /* kTrailing */
    {kForwardDead, kForwardDead, kForwardDead, kForwardDead, kForwardDead, kTrailing, kForwardDead},
    /* kForwardDead */
    {kForwardDead, kForwardDead, kForwardDead, kForwardDead, kForwardDead, kForwardDead,
     kForwardDead},
}};
inline constexpr bool kForwardAccepting[kForwardCount] = {false, false, true, true, false, true,
                                                          false, false, true, true, false};

// Backward states, starting after the last character (a digit); names tell
// what has been read so far.
enum Backward : std::uint8_t {
  kDigits,           // digits only: exponent digits, fraction or integer part
  kIntComma,         // in the integer part, last read a comma (needs a digit)
  kIntDigit,         // in the integer part, last read a digit
  kPointBare,        // a point with no digit after it (needs integer digits)
  kPointFraction,    // a point after fraction digits
  kSignAfterDigits,  // a sign after plain digits: exponent sign or number sign
  kBackExponent,     // the exponent letter (needs a mantissa)
  kMantissaDigits,   // digits read after the exponent letter
  kNumberSign,       // the sign of the number
  kLeadingBlanks,    // blanks in front of the number
  kBackwardDead,
  kBackwardCount
};

using BackwardRow = std::array<Backward, kClassCount>;
// Columns: digit, comma, point, sign, exponent letter, blank, other.
inline constexpr std::array<BackwardRow, kBackwardCount> kBackwardNext = {{
    /* kDigits */
    {kDigits, kIntComma, kPointFraction, kSignAfterDigits, kBackExponent, kLeadingBlanks,
     kBackwardDead},
    /* kIntComma */
    {kIntDigit, kIntComma, kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead,
     kBackwardDead},
    /* kIntDigit */
    {kIntDigit, kIntComma, kBackwardDead, kNumberSign, kBackwardDead, kLeadingBlanks,
     kBackwardDead},
    /* kPointBare */
    {kIntDigit, kIntComma, kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead,
     kBackwardDead},
    /* kPointFraction */
    {kIntDigit, kIntComma, kBackwardDead, kNumberSign, kBackwardDead, kLeadingBlanks,
     kBackwardDead},
    /* kSignAfterDigits */
    {kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kBackExponent, kLeadingBlanks,
     kBackwardDead},
    /* kBackExponent */
    {kMantissaDigits, kIntComma, kPointBare, kBackwardDead, kBackwardDead, kBackwardDead,
     kBackwardDead},
    /* kMantissaDigits */
    {kMantissaDigits, kIntComma, kPointFraction, kNumberSign, kBackwardDead, kLeadingBlanks,
     kBackwardDead},
    /* kNumberSign */
    {kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kLeadingBlanks,
     kBackwardDead},
    /* kLeadingBlanks */
    {kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kLeadingBlanks,
     kBackwardDead},
    /* kBackwardDead */
    {kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead, kBackwardDead,
     kBackwardDead},
}};
inline constexpr bool kBackwardAccepting[kBackwardCount] = {true,  false, true, false, true, true,
                                                            false, true,  true, true,  false};

// True for a character that, read before a run of digits, makes the tail
// not numeric (letters, most punctuation, every character beyond ASCII): the
// numeric tail of an item that ends so is that run of digits.
inline constexpr std::array<bool, 128> kEndsDigitRun = [] {
  std::array<bool, 128> ends{};
  for (char16_t c = 0; c < 128; ++c)
    ends[c] = !kBackwardAccepting[kBackwardNext[kDigits][ClassOf(c)]];
  return ends;
}();
constexpr bool EndsDigitRun(char16_t c) noexcept {
  return c >= 128 || kEndsDigitRun[c];
}

}  // namespace ztxgrp::internal::number_grammar
