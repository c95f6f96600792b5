// The two forms of text the engine reads and writes as they come: UTF-8
// bytes (char) and UTF-16 units (char16_t). What differs between them is
// here, so that reading, interning, ranking and writing are each written once
// for both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "ztxgrp/engine/utf.hpp"

namespace ztxgrp::internal {

// A code unit as a UTF-16 unit for the ASCII tests of the number grammar:
// bytes of multi-byte UTF-8 characters become units 0x80..0xFF, which, like
// every unit beyond ASCII, are no digit, sign, point or blank.
template <typename Char>
constexpr char16_t Wide(Char unit) noexcept {
  return static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(unit));
}

template <typename Char>
struct CodeUnits;

template <>
struct CodeUnits<char16_t> {
  static constexpr int kBits = 16;
  // Prefixes order code unit by code unit in UTF-16.
  static constexpr std::uint64_t Weight(char16_t unit) noexcept { return unit; }
  static std::size_t Utf16Length(std::u16string_view text) noexcept { return text.size(); }
  static std::u16string_view Widened(std::u16string_view text, std::u16string&) { return text; }
};

template <>
struct CodeUnits<char> {
  static constexpr int kBits = 8;
  // UTF-8 byte order is code point order; UTF-16 order differs from it only
  // in putting U+E000..U+FFFF (lead bytes EE, EF) after the characters beyond
  // U+FFFF (surrogate pairs; lead bytes F0..F4). Those lead bytes trade
  // places here, so that texts compared byte by byte by weight order as
  // their UTF-16 forms do. Where two valid texts first differ, both bytes
  // are leads or both continue characters of one lead (80..BF, unweighted).
  static constexpr std::uint64_t Weight(char unit) noexcept {
    const auto byte = static_cast<unsigned char>(unit);
    if (byte == 0xEE || byte == 0xEF) return byte + 5u;  // to F3, F4
    if (byte >= 0xF0 && byte <= 0xF4) return byte - 2u;  // to EE..F2
    return byte;
  }
  static std::size_t Utf16Length(std::string_view text) noexcept {
    return ztxgrp::Utf16Length(text);
  }
  // The bytes as units (Wide), for the number grammar's readers.
  static std::u16string_view Widened(std::string_view text, std::u16string& scratch) {
    scratch.resize(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) scratch[k] = Wide(text[k]);
    return scratch;
  }
};

// True when `text` has more than `limit` UTF-16 units; UTF-8 texts are
// counted only when their bytes pass the limit.
template <typename Char>
bool LongerThan(std::basic_string_view<Char> text, std::size_t limit) noexcept {
  return text.size() > limit && CodeUnits<Char>::Utf16Length(text) > limit;
}

}  // namespace ztxgrp::internal
