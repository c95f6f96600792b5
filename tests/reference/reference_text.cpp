#include "reference_text.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reference_failure.hpp"

namespace ztxgrp::reference {
namespace {

bool Digit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool Blank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string Widen(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

// A numeric text taken apart: its sign, its mantissa's digits (commas left
// out) and where the decimal point falls among them, counted from the left.
struct Decimal {
  bool negative = false;
  std::string digits;
  long long point = 0;
};

// Reads the whole text by the grammar; false when it is not a number.
bool Read(std::u16string_view text, Decimal& out) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && Blank(text[i])) ++i;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) out.negative = text[i++] == u'-';
  if (i < n && Digit(text[i])) {
    while (i < n && (Digit(text[i]) || text[i] == u',')) {
      if (text[i] != u',') out.digits.push_back(static_cast<char>(text[i]));
      ++i;
    }
    out.point = static_cast<long long>(out.digits.size());
    if (i < n && text[i] == u'.') {
      ++i;
      while (i < n && Digit(text[i])) out.digits.push_back(static_cast<char>(text[i++]));
    }
  } else if (i < n && text[i] == u'.') {
    ++i;
    if (i == n || !Digit(text[i])) return false;
    while (i < n && Digit(text[i])) out.digits.push_back(static_cast<char>(text[i++]));
  } else {
    return false;
  }
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == n || !Digit(text[i])) return false;
    long long exponent = 0;
    while (i < n && Digit(text[i])) {
      if (exponent < 100000000000LL) exponent = exponent * 10 + (text[i] - u'0');
      ++i;
    }
    out.point += negative ? -exponent : exponent;
  }
  while (i < n && Blank(text[i])) ++i;
  return i == n;
}

Decimal ReadOrFail(std::u16string_view text) {
  Decimal decimal;
  if (!Read(text, decimal)) Fail(13);
  return decimal;
}

long long Rounded(std::u16string_view text, long long lowest, long long highest) {
  Decimal d = ReadOrFail(text);
  std::size_t lead = 0;
  while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
  d.digits.erase(0, lead);
  d.point -= static_cast<long long>(lead);
  // Below 0.1 (or zero) rounds to 0.
  if (d.digits.empty() || d.point < 0) return 0;
  if (d.point > 12) Fail(6);
  long long whole = 0;
  for (long long k = 0; k < d.point; ++k)
    whole = whole * 10 + (k < static_cast<long long>(d.digits.size()) ? d.digits[k] - '0' : 0);
  const std::string fraction = d.point < static_cast<long long>(d.digits.size())
                                   ? d.digits.substr(static_cast<std::size_t>(d.point))
                                   : std::string();
  if (!fraction.empty()) {
    const bool restNonZero = fraction.find_first_not_of('0', 1) != std::string::npos;
    if (fraction[0] > '5' || (fraction[0] == '5' && (restNonZero || whole % 2 == 1))) ++whole;
  }
  const long long value = d.negative ? -whole : whole;
  if (value < lowest || value > highest) Fail(6);
  return value;
}

}  // namespace

std::u16string_view LeftText(std::u16string_view text, std::int64_t count) {
  if (count < 0) Fail(5);
  return text.substr(0, static_cast<std::size_t>(count));
}

std::u16string_view RightText(std::u16string_view text, std::int64_t count) {
  if (count < 0) Fail(5);
  const auto n = static_cast<std::size_t>(count);
  return n >= text.size() ? text : text.substr(text.size() - n);
}

std::size_t HyphenPosition(std::u16string_view text) noexcept {
  for (std::size_t k = 0; k < text.size(); ++k)
    if (text[k] == u'-') return k + 1;
  return 0;
}

std::vector<std::u16string_view> SplitAtHyphen(std::u16string_view text) {
  std::vector<std::u16string_view> pieces;
  if (text.empty()) return pieces;
  std::size_t start = 0;
  for (std::size_t k = 0; k <= text.size(); ++k) {
    if (k == text.size() || text[k] == u'-') {
      pieces.push_back(text.substr(start, k - start));
      start = k + 1;
    }
  }
  return pieces;
}

std::u16string DecimalText(std::int64_t value) {
  return Widen(std::to_string(value));
}

bool IsNumeric(std::u16string_view text) {
  Decimal decimal;
  return Read(text, decimal);
}

std::int16_t TextToInt16(std::u16string_view text) {
  return static_cast<std::int16_t>(Rounded(text, -32768, 32767));
}

std::int32_t TextToInt32(std::u16string_view text) {
  return static_cast<std::int32_t>(Rounded(text, -2147483648LL, 2147483647LL));
}

double TextToReal(std::u16string_view text) {
  const Decimal d = ReadOrFail(text);
  // Digits and a power of ten, with no decimal point for a locale to read.
  const std::string ascii = (d.digits.empty() ? std::string("0") : d.digits) + "e" +
                            std::to_string(d.point - static_cast<long long>(d.digits.size()));
  errno = 0;
  const double value = std::strtod(ascii.c_str(), nullptr);
  if (std::isinf(value)) Fail(6);
  return d.negative ? -value : value;
}

std::int32_t RealToInt32(double value) {
  double whole = std::floor(value);
  const double rest = value - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) Fail(6);
  return static_cast<std::int32_t>(whole);
}

std::int16_t Checked16(std::int64_t value) {
  if (value < -32768 || value > 32767) Fail(6);
  return static_cast<std::int16_t>(value);
}

namespace {

// 15 significant digits, trailing zeros dropped, as a host shows a real.
std::u16string RealText(double value) {
  if (std::isnan(value) || std::isinf(value)) Fail(13);
  if (value == 0) return u"0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string text(buffer);
  const bool negative = text[0] == '-';
  std::string digits;
  std::size_t k = negative ? 1 : 0;
  for (; text[k] != 'e'; ++k)
    if (text[k] >= '0' && text[k] <= '9') digits.push_back(text[k]);
  const int exponent = std::atoi(text.c_str() + k + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent > -5 && exponent < 15) {
    if (exponent < 0) {
      out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    } else {
      const auto whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        out.append(digits).append(whole - digits.size(), '0');
      } else {
        out.append(digits, 0, whole).append(".").append(digits, whole);
      }
    }
  } else {
    out.append(digits, 0, 1);
    if (digits.size() > 1) out.append(".").append(digits, 1);
    const int magnitude = exponent < 0 ? -exponent : exponent;
    out.append(exponent < 0 ? "E-" : "E+").append(magnitude < 10 ? "0" : "");
    out.append(std::to_string(magnitude));
  }
  return Widen(out);
}

}  // namespace

std::u16string ElementText(const Value& element) {
  const Value::Storage& storage = element.storage();
  if (const auto* text = std::get_if<std::u16string>(&storage)) return *text;
  if (std::holds_alternative<Empty>(storage)) return {};
  if (std::holds_alternative<Null>(storage)) Fail(94);
  if (const auto* truth = std::get_if<bool>(&storage)) return *truth ? u"True" : u"False";
  if (const auto* integer = std::get_if<std::int64_t>(&storage)) return DecimalText(*integer);
  if (const auto* real = std::get_if<double>(&storage)) return RealText(*real);
  Fail(13);
}

}  // namespace ztxgrp::reference
