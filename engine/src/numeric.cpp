#include "internal/numeric.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "internal/number_grammar.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {
namespace {

// The parts of a numeric text, as views into it.
struct NumberParts {
  bool negative = false;
  std::u16string_view integerDigits;   // digits and commas before the point
  std::u16string_view fractionDigits;  // digits after the point
  std::int64_t exponent = 0;           // saturated far beyond any useful value
};

constexpr std::int64_t kExponentCap = 1'000'000'000;

// Runs the grammar's forward automaton (internal/number_grammar.hpp) over the
// whole text and takes the number's parts from the states it passes; true
// when the text is numeric.
bool ParseNumber(std::u16string_view text, NumberParts& parts) noexcept {
  using namespace internal::number_grammar;
  Forward state = kStart;
  std::size_t partStart = 0;
  bool negativeExponent = false;
  std::int64_t exponent = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const Forward next = kForwardNext[state][ClassOf(c)];
    if (next != state) partStart = i;
    switch (next) {
      case kForwardDead:
        return false;
      case kSign:
        parts.negative = c == u'-';
        break;
      case kInteger:
        parts.integerDigits = text.substr(partStart, i + 1 - partStart);
        break;
      case kFraction:
        parts.fractionDigits = text.substr(partStart, i + 1 - partStart);
        break;
      case kExponentSign:
        negativeExponent = c == u'-';
        break;
      case kExponentDigits:
        if (exponent < kExponentCap) exponent = exponent * 10 + (c - u'0');
        break;
      default:
        break;
    }
    state = next;
  }
  parts.exponent = negativeExponent ? -exponent : exponent;
  return kForwardAccepting[state];
}

NumberParts ParseOrRaise(std::u16string_view text) {
  NumberParts parts;
  if (!ParseNumber(text, parts)) Raise(ErrorNumber::TypeMismatch, text);
  return parts;
}

// The digits of a number's mantissa in order, commas skipped, without
// copying them.
class DigitSequence {
 public:
  explicit DigitSequence(const NumberParts& parts) : parts_(parts) {}
  // Next digit value, or -1 at the end.
  int Next() noexcept {
    while (intAt_ < parts_.integerDigits.size()) {
      const char16_t c = parts_.integerDigits[intAt_++];
      if (c != u',') return c - u'0';
    }
    if (fracAt_ < parts_.fractionDigits.size()) return parts_.fractionDigits[fracAt_++] - u'0';
    return -1;
  }

 private:
  const NumberParts& parts_;
  std::size_t intAt_ = 0;
  std::size_t fracAt_ = 0;
};

// Rounds the exact decimal value half to even and checks it against
// [minimum, maximum]; runtime error 6 outside.
std::int64_t RoundToInteger(const NumberParts& parts, std::int64_t minimum, std::int64_t maximum,
                            std::u16string_view text) {
  std::int64_t integerCount = 0;
  for (char16_t c : parts.integerDigits)
    if (c != u',') ++integerCount;
  // Position of the decimal point, counted in digits from the first
  // significant (non-zero) digit.
  std::int64_t point = integerCount + parts.exponent;
  DigitSequence digits(parts);
  int digit = digits.Next();
  while (digit == 0) {
    --point;
    digit = digits.Next();
  }
  if (digit < 0) return 0;
  // More than 18 integer digits would not fit in 64 bits, and is far out of
  // any range asked for here.
  if (point > 18) Raise(ErrorNumber::Overflow, text);
  std::int64_t magnitude = 0;
  for (std::int64_t k = 0; k < point; ++k) {
    magnitude = magnitude * 10 + (digit < 0 ? 0 : digit);
    if (digit >= 0) digit = digits.Next();
  }
  // `digit` is now the first digit after the point, unless the point lies
  // before the first significant digit: then the fraction is below 0.1.
  const int roundDigit = point < 0 ? 0 : digit;
  bool roundUp = roundDigit > 5;
  if (roundDigit == 5) {
    bool moreThanHalf = false;
    for (int rest = digits.Next(); rest >= 0 && !moreThanHalf; rest = digits.Next())
      moreThanHalf = rest > 0;
    roundUp = moreThanHalf || (magnitude % 2 == 1);
  }
  if (roundUp) ++magnitude;
  const std::int64_t value = parts.negative ? -magnitude : magnitude;
  if (value < minimum || value > maximum) Raise(ErrorNumber::Overflow, text);
  return value;
}

}  // namespace

bool IsNumeric(std::u16string_view text) noexcept {
  NumberParts parts;
  return ParseNumber(text, parts);
}

std::int16_t TextToInt16(std::u16string_view text) {
  return static_cast<std::int16_t>(
      RoundToInteger(ParseOrRaise(text), kSmallestNumber, kLargestNumber, text));
}

std::int32_t TextToInt32(std::u16string_view text) {
  return static_cast<std::int32_t>(RoundToInteger(ParseOrRaise(text),
                                                  std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max(), text));
}

double TextToReal(std::u16string_view text) {
  const NumberParts parts = ParseOrRaise(text);
  // The digits without a decimal point and the exponent moved to match
  // (1.25E3 reads as 125e1), so that no locale's decimal point matters.
  std::string ascii;
  for (char16_t c : parts.integerDigits)
    if (c != u',') ascii.push_back(static_cast<char>(c));
  for (char16_t c : parts.fractionDigits) ascii.push_back(static_cast<char>(c));
  if (ascii.empty()) ascii.push_back('0');
  const long long exponent =
      static_cast<long long>(parts.exponent) - static_cast<long long>(parts.fractionDigits.size());
  ascii += 'e';
  ascii += std::to_string(exponent);
  double value = 0;
#if defined(__cpp_lib_to_chars)
  const bool outOfRange = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value).ec ==
                          std::errc::result_out_of_range;
#else
  // Standard libraries without floating-point from_chars: strtod rounds
  // as exactly; ERANGE with a finite, nonzero result is a subnormal number,
  // which from_chars also gives.
  errno = 0;
  value = std::strtod(ascii.c_str(), nullptr);
  const bool outOfRange = errno == ERANGE && (value == 0 || std::isinf(value));
#endif
  if (outOfRange) {
    // Underflow reads as zero; only a value too large to hold is an error.
    // Which of the two it is, the position of the first significant digit
    // tells: 10^(digits after it + exponent) is far from 1 either way.
    const std::size_t first = ascii.find_first_not_of('0');
    const long long magnitude = static_cast<long long>(ascii.find('e') - first) + exponent;
    if (magnitude > 0) Raise(ErrorNumber::Overflow, text);
    value = 0;
  }
  return parts.negative ? -value : value;
}

std::int32_t RealToInt32(double value) {
  const double rounded = std::nearbyint(value);  // the default mode rounds half to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) Raise(ErrorNumber::Overflow);
  return static_cast<std::int32_t>(rounded);
}

std::int16_t CheckedInt16(std::int64_t value) {
  if (value < kSmallestNumber || value > kLargestNumber) Raise(ErrorNumber::Overflow);
  return static_cast<std::int16_t>(value);
}

}  // namespace ztxgrp
