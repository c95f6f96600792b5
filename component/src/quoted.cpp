#include "ztxgrp/quoted.hpp"

#include <cstdio>

#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

constexpr std::size_t kShownUnits = 64;

void AppendEscape(std::string& out, const char* format, unsigned value) {
  char escape[8];
  std::snprintf(escape, sizeof escape, format, value);
  out += escape;
}

// One code unit or pair that needs no escape is written as UTF-8.
void AppendUnit(std::string& out, std::u16string_view text, std::size_t& k) {
  const char16_t unit = text[k];
  switch (unit) {
    case u'"':
      out += "\\\"";
      return;
    case u'\\':
      out += "\\\\";
      return;
    case u'\n':
      out += "\\n";
      return;
    case u'\r':
      out += "\\r";
      return;
    case u'\t':
      out += "\\t";
      return;
    default:
      break;
  }
  if (unit < 0x20 || unit == 0x7F) return AppendEscape(out, "\\u%04X", unit);
  const bool pair = unit >= 0xD800 && unit <= 0xDBFF && k + 1 < text.size() &&
                    text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF;
  if (unit >= 0xD800 && unit <= 0xDFFF && !pair) return AppendEscape(out, "\\u%04X", unit);
  out += Utf16ToUtf8(text.substr(k, pair ? 2 : 1));
  k += pair ? 1 : 0;
}

std::string QuotedUpTo(std::u16string_view text, std::size_t units) {
  const std::u16string_view shown = Excerpt(text, units);
  std::string out = "\"";
  for (std::size_t k = 0; k < shown.size(); ++k) AppendUnit(out, shown, k);
  out += '"';
  if (shown.size() < text.size())
    out += "... (cut; " + std::to_string(CodePointCount(text)) + " characters in all)";
  return out;
}

std::string QuotedUpTo(std::string_view text, std::size_t units) {
  try {
    return QuotedUpTo(Utf8ToUtf16(text), units);
  } catch (const EncodingError&) {
  }
  std::string out = "\"";
  for (std::size_t k = 0; k < text.size() && k < units; ++k) {
    const auto byte = static_cast<unsigned char>(text[k]);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\')
      out += static_cast<char>(byte);
    else
      AppendEscape(out, "\\x%02X", byte);
  }
  out += '"';
  if (text.size() > units) out += "... (cut; " + std::to_string(text.size()) + " bytes in all)";
  return out;
}

}  // namespace

std::string Quoted(std::u16string_view text) {
  return QuotedUpTo(text, kShownUnits);
}

std::string Quoted(std::string_view text) {
  return QuotedUpTo(text, kShownUnits);
}

std::string QuotedWhole(std::string_view text) {
  return QuotedUpTo(text, text.size());
}

}  // namespace ztxgrp
