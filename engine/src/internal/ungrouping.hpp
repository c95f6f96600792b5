// Ungrouping for every kind of caller: each text expanded into its items,
// the items sorted, and each written by the caller's writer (the worker
// class writes the texts of a list, the UTF-8 functions UTF-8 strings).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "internal/counters.hpp"
#include "internal/expansion.hpp"
#include "internal/list_reader.hpp"
#include "internal/sorted_keys.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp::internal {

// Every element read as text and expanded, in input order.
template <typename Char>
struct Collected {
  std::vector<Expansion<Char>> expansions;
  std::int32_t total = 0;  // items in all
};

// An item whose written text may read back as another key: written now and
// read again, as the final sort reads it.
template <typename Char>
struct Reread {
  std::uint32_t position;
  std::basic_string<Char> text;
  std::size_t prefixLength = 0;  // the reading of `text`
  std::int16_t number = -1;

  void Read() {
    const ItemKey<Char> key = ReadKey(std::basic_string_view<Char>(text));
    prefixLength = key.prefix.size();
    number = key.number;
  }
};

// Reads and expands each text in turn, `textOf(index)` once each. Errors:
// the text's, 6 when the items collected pass 32767 (the count steps past
// it), 6 when the element counter steps past an upper bound of 32767 after
// the last element. The texts must outlive the result.
template <typename TextOf, typename Char = CharOf<TextOf>>
Collected<Char> CollectExpansions(ListBounds bounds, std::size_t count, TextOf&& textOf) {
  Collected<Char> collected;
  collected.expansions.reserve(count);
  for (std::size_t index = 0; index < count; ++index) {
    const std::basic_string_view<Char> text = textOf(index);
    const Expansion<Char> expansion = ReadExpansion(text);
    if (ItemsOverflow(std::int64_t{collected.total} + expansion.count))
      Raise(ErrorNumber::Overflow, text);
    collected.total += expansion.count;
    collected.expansions.push_back(expansion);
  }
  if (ElementCounterOverflows(bounds, count)) Raise(ErrorNumber::Overflow);
  return collected;
}

// The items whose written text must be read again, read in the order in
// which a sort of neighbours first reads them (item 1, item 0, then
// upwards), so that the first failure is the sort's. A single item is never
// read by the sort.
template <typename Char>
std::vector<Reread<Char>> RereadWrittenTexts(const Collected<Char>& collected);

// Every item's key: its own reading when it was read again, else its
// expansion's prefix and its number.
template <typename Char>
SortedKeys<Char> SortCollected(const Collected<Char>& collected,
                               const std::vector<Reread<Char>>& reread);

// The item read again at `position`, if any.
template <typename Char>
const Reread<Char>* FindReread(const std::vector<Reread<Char>>& reread, std::uint32_t position);

// Ungroups `count` texts with `bounds`: `write.Reserve(items)` once, then
// `write.Entry(item)` for each item in order, or `write.Text(text)` for an
// item whose text was read again; `write.EmptyElement()` alone when the
// texts hold no item at all.
template <typename TextOf, typename Writer>
void UngroupTexts(ListBounds bounds, std::size_t count, TextOf&& textOf, Writer& write) {
  using Char = CharOf<TextOf>;
  const Collected<Char> collected = CollectExpansions(bounds, count, textOf);
  if (collected.total == 0) {
    write.EmptyElement();
    return;
  }
  const std::vector<Reread<Char>> reread = RereadWrittenTexts(collected);
  const SortedKeys<Char> keys = SortCollected(collected, reread);
  write.Reserve(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (const Reread<Char>* item =
            reread.empty() ? nullptr : FindReread(reread, keys.PositionOf(k)))
      write.Text(item->text);
    else
      write.Entry(BasicGroupEntry<Char>{keys.PrefixOf(k), keys.NumberOf(k), keys.NumberOf(k)});
  }
}

}  // namespace ztxgrp::internal
