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

#include "ztxgrp/utf.hpp"

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
  // Bytes weighted so that UTF-8 texts order as their UTF-16 forms do.
  static constexpr std::uint64_t Weight(char unit) noexcept { return Utf16OrderWeight(unit); }
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
