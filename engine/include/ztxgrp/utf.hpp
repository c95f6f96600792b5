// Conversions between UTF-8 and the engine's UTF-16 texts.
//
// Invalid input is rejected, never repaired: malformed UTF-8 (overlong forms,
// surrogates, truncated sequences) and unpaired UTF-16 surrogates raise
// EncodingError with the offset of the first bad unit.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ztxgrp {

class EncodingError : public std::invalid_argument {
 public:
  EncodingError(const std::string& message, std::size_t offset)
      : std::invalid_argument(message), offset_(offset) {}
  std::size_t offset() const noexcept { return offset_; }

 private:
  std::size_t offset_;
};

std::u16string Utf8ToUtf16(std::string_view text);
// Raises EncodingError where Utf8ToUtf16 would, converting nothing.
void CheckUtf8(std::string_view text);
// True when every byte is ASCII (and the text thus valid UTF-8), as most
// designators are: a test cheap enough to make per item before CheckUtf8.
inline bool IsAscii(std::string_view text) noexcept {
  // Eight bytes at a time; the last bytes of a short text in two loads that
  // may overlap, so that most designators take no loop at all.
  const char* at = text.data();
  std::size_t size = text.size();
  std::uint64_t any = 0;
  auto load = [](const char* from, auto word) {
    std::memcpy(&word, from, sizeof word);
    return static_cast<std::uint64_t>(word);
  };
  for (; size > 8; at += 8, size -= 8) any |= load(at, std::uint64_t{});
  if (size >= 4)
    any |= load(at, std::uint32_t{}) | load(at + size - 4, std::uint32_t{});
  else if (size > 0)
    any |= static_cast<unsigned char>(at[0]) | static_cast<unsigned char>(at[size / 2]) |
           static_cast<unsigned char>(at[size - 1]);
  return (any & 0x8080808080808080ull) == 0;
}
std::string Utf16ToUtf8(std::u16string_view text);

// The weight of a byte of valid UTF-8 that orders UTF-8 texts, compared byte
// by byte, as their UTF-16 forms order unit by unit. Byte order is code
// point order; UTF-16 differs from it only in putting U+E000..U+FFFF (lead
// bytes EE, EF) after the characters beyond U+FFFF (surrogate pairs; lead
// bytes F0..F4): those lead bytes trade places. Where two valid texts first
// differ, both bytes are leads or both continue characters of one lead
// (80..BF, unweighted).
constexpr unsigned Utf16OrderWeight(char unit) noexcept {
  const auto byte = static_cast<unsigned char>(unit);
  if (byte == 0xEE || byte == 0xEF) return byte + 5u;  // to F3, F4
  if (byte >= 0xF0 && byte <= 0xF4) return byte - 2u;  // to EE..F2
  return byte;
}

// True when valid UTF-8 `a` orders before `b` as their UTF-16 forms do.
inline bool Utf16OrderLess(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t k = 0;
  while (k < common && a[k] == b[k]) ++k;
  if (k == common) return a.size() < b.size();
  return Utf16OrderWeight(a[k]) < Utf16OrderWeight(b[k]);
}

// The number of UTF-16 units that valid UTF-8 `text` converts to: every byte
// that starts a character, and one more for each character beyond U+FFFF.
std::size_t Utf16Length(std::string_view text) noexcept;

// The number of characters (code points) of a text, for messages.
std::size_t CodePointCount(std::u16string_view text) noexcept;

// The beginning of a text for a message: at most `maxUnits` code units,
// never ending inside a surrogate pair.
std::u16string_view Excerpt(std::u16string_view text, std::size_t maxUnits) noexcept;

}  // namespace ztxgrp
