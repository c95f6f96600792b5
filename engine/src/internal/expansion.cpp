#include "internal/expansion.hpp"

#include <algorithm>
#include <initializer_list>

#include "internal/code_units.hpp"
#include "internal/counters.hpp"
#include "internal/item_reader.hpp"
#include "internal/numeric.hpp"
#include "internal/text_slices.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp::internal {
namespace {

template <typename Char>
std::int16_t ReadNumber(std::basic_string_view<Char> piece, std::basic_string_view<Char> text) {
  try {
    std::u16string scratch;
    return TextToInt16(CodeUnits<Char>::Widened(piece, scratch));
  } catch (const RuntimeError& error) {
    Reraise(error, text);
  }
}

}  // namespace

template <typename Char>
Expansion<Char> ReadExpansion(std::basic_string_view<Char> text) {
  Expansion<Char> expansion;
  const auto range = SplitAtFirstHyphen(text);
  if (!range) {
    const ItemReading reading = ReadItemOrRaise(text, text);
    expansion.prefix = text.substr(0, reading.prefixLength);
    expansion.start = reading.number;
    return expansion;
  }
  const auto [left, right] = *range;
  std::int16_t end = 0;
  if (IsDigit(Wide(text[0]))) {
    // A range of plain numbers: the first two pieces, further pieces ignored.
    expansion.start = ReadNumber(left, text);
    end = ReadNumber(SplitAtFirstHyphen(right).value_or(HyphenSplit<Char>{right, {}}).left, text);
  } else {
    const ItemReading first = ReadItemOrRaise(left, text);
    const ItemReading last = ReadItemOrRaise(right, text);
    expansion.prefix = left.substr(0, first.prefixLength);
    expansion.start = first.number;
    end = last.number;
  }
  const std::int32_t span = std::int32_t{end} - expansion.start;
  // end - start is formed with checked 16-bit arithmetic before the resize.
  if (span < kSmallest16 || span > kLargest16) Raise(ErrorNumber::Overflow, text);
  if (span < 0) Raise(ErrorNumber::SubscriptOutOfRange, text);
  if (ItemsOverflow(span + 1)) Raise(ErrorNumber::Overflow, text);
  expansion.count = span + 1;
  return expansion;
}

void AppendEntry(std::vector<Value>& out, std::u16string_view prefix, std::int32_t first,
                 std::int32_t last) {
  // The text is written once, into a buffer on the stack, and the element
  // made from it: short texts (kept inside the element) need no allocation,
  // longer ones one allocation of their exact size.
  const std::size_t room = EntryTextRoom(prefix.size(), first != last);
  char16_t buffer[256];
  if (room <= std::size(buffer)) {
    const char16_t* end = WriteEntryText(buffer, prefix, first, last);
    out.emplace_back(std::u16string_view(buffer, static_cast<std::size_t>(end - buffer)));
    return;
  }
  std::u16string text(room, u'\0');
  text.resize(
      static_cast<std::size_t>(WriteEntryText(text.data(), prefix, first, last) - text.data()));
  // GCC 12 takes the moved string's unused inline buffer for uninitialised
  // here (a false warning); moving saves a second allocation per long item.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
  out.emplace_back(std::move(text));
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
}

template Expansion<char> ReadExpansion(std::string_view text);
template Expansion<char16_t> ReadExpansion(std::u16string_view text);

}  // namespace ztxgrp::internal
