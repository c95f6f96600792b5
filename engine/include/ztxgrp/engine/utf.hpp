// Conversions between UTF-8 and the engine's UTF-16 texts.
//
// Invalid input is rejected, never repaired: malformed UTF-8 (overlong forms,
// surrogates, truncated sequences) and unpaired UTF-16 surrogates raise
// EncodingError with the offset of the first bad unit.
#pragma once

#include <cstddef>
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
// Writes the conversion of `text` to `out`, which has room for text.size()
// units (never too few), and returns the number of units written: for lists
// converted side by side into one buffer.
std::size_t Utf8ToUtf16(std::string_view text, char16_t* out);
// Raises EncodingError where Utf8ToUtf16 would, converting nothing.
void CheckUtf8(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The number of UTF-16 units that valid UTF-8 `text` converts to: every byte
// that starts a character, and one more for each character beyond U+FFFF.
std::size_t Utf16Length(std::string_view text) noexcept;

// The number of characters (code points) of a text, for messages.
std::size_t CodePointCount(std::u16string_view text) noexcept;

// The beginning of a text for a message: at most `maxUnits` code units,
// never ending inside a surrogate pair.
std::u16string_view Excerpt(std::u16string_view text, std::size_t maxUnits) noexcept;

}  // namespace ztxgrp
