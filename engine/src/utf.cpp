#include "ztxgrp/utf.hpp"

#include <cstdint>
#include <cstring>

namespace ztxgrp {
namespace {

[[noreturn]] void Invalid(std::string_view what, std::size_t offset) {
  throw EncodingError(std::string(what) + " at byte " + std::to_string(offset), offset);
}

// The code point of the multi-byte sequence at byte `i` (its lead is not
// ASCII), and its length; raises for a malformed sequence.
std::size_t DecodeSequence(std::string_view text, std::size_t i, char32_t& code) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    Invalid("invalid UTF-8", i);
  }
  if (i + length > text.size()) Invalid("truncated UTF-8 sequence", i);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) Invalid("invalid UTF-8", i);
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    Invalid("invalid UTF-8", i);
  return length;
}

// Decodes `text` from byte `i` on, handing each code point to `put`; raises at the first
// malformed sequence. ASCII, the common case, takes the short path.
template <typename Put>
void DecodeUtf8(std::string_view text, Put&& put, std::size_t i = 0) {
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      put(char32_t{lead});
      ++i;
      continue;
    }
    char32_t code = 0;
    i += DecodeSequence(text, i, code);
    put(code);
  }
}

// Writes the conversion of `text` to `out`, which has room for text.size()
// units (never too few), and returns the number of units written.
std::size_t Utf8ToUtf16(std::string_view text, char16_t* out) {
  char16_t* units = out;
  std::size_t i = 0;
  // Runs of ASCII are copied without decoding.
  for (; i < text.size() && static_cast<unsigned char>(text[i]) < 0x80; ++i)
    *units++ = static_cast<unsigned char>(text[i]);
  if (i == text.size()) return text.size();
  DecodeUtf8(
      text,
      [&](char32_t code) {
        if (code >= 0x10000) {
          code -= 0x10000;
          *units++ = static_cast<char16_t>(0xD800 + (code >> 10));
          *units++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
          *units++ = static_cast<char16_t>(code);
        }
      },
      i);
  return static_cast<std::size_t>(units - out);
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  out.resize(Utf8ToUtf16(text, out.data()));
  return out;
}

void CheckUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // ASCII, the common case, eight bytes at a time.
    std::uint64_t word;
    if (i + sizeof word <= text.size()) {
      std::memcpy(&word, text.data() + i, sizeof word);
      if ((word & 0x8080808080808080ull) == 0) {
        i += sizeof word;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t code = 0;
    i += DecodeSequence(text, i, code);
  }
}

std::u16string_view Excerpt(std::u16string_view text, std::size_t maxUnits) noexcept {
  if (text.size() <= maxUnits) return text;
  std::u16string_view shown = text.substr(0, maxUnits);
  if (!shown.empty() && shown.back() >= 0xD800 && shown.back() < 0xDC00) shown.remove_suffix(1);
  return shown;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      throw EncodingError("unpaired UTF-16 surrogate at unit " + std::to_string(i), i);
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::size_t Utf16Length(std::string_view text) noexcept {
  std::size_t units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) != 0x80 ? 1 : 0;
    units += byte >= 0xF0 ? 1 : 0;
  }
  return units;
}

std::size_t CodePointCount(std::u16string_view text) noexcept {
  std::size_t count = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const bool pair = text[k] >= 0xD800 && text[k] <= 0xDBFF && k + 1 < text.size() &&
                      text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF;
    k += pair ? 1 : 0;
    ++count;
  }
  return count;
}

}  // namespace ztxgrp
