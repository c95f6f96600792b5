// Folding sorted items into the entries of a grouped list, for every kind of
// caller: the worker class writes the entries as texts of a list, the UTF-8
// functions as UTF-8 strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "internal/counters.hpp"
#include "internal/list_reader.hpp"
#include "internal/recycled.hpp"
#include "internal/sorted_keys.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp::internal {

// Calls `write(entry)` for each entry of the sorted items, in order: runs of
// at least `minRun` items as ranges, shorter runs item by item. A 32768th
// entry is runtime error 6, raised before it is written.
template <typename Char, typename Write>
void FoldRuns(const SortedKeys<Char>& sorted, int minRun, Write&& write) {
  const std::size_t count = sorted.size();
  std::int64_t entries = 0;
  auto emit = [&](std::basic_string_view<Char> prefix, std::int16_t first, std::int16_t last) {
    if (ItemsOverflow(++entries)) Raise(ErrorNumber::Overflow);
    write(BasicGroupEntry<Char>{prefix, first, last});
  };
  std::size_t at = 0;
  while (at < count) {
    std::size_t last = at;
    // A run continues while the key (prefix rank, number) grows by exactly
    // one. An item without a number stands alone and joins no run.
    if (sorted.NumberOf(at) != -1) {
      while (last + 1 < count && sorted.NextFollows(last) && sorted.NumberOf(last + 1) != -1)
        ++last;
    }
    const std::basic_string_view<Char> prefix = sorted.PrefixOf(at);
    if (last != at && last - at + 1 >= static_cast<std::size_t>(minRun)) {
      emit(prefix, sorted.NumberOf(at), sorted.NumberOf(last));
    } else {
      for (std::size_t k = at; k <= last; ++k) emit(prefix, sorted.NumberOf(k), sorted.NumberOf(k));
    }
    at = last + 1;
  }
}

// Groups a list of `count` texts with `bounds`, `textOf(index)` read once
// each, with the errors of reading and sorting in their order and then those
// of folding: `write.Reserve(entries)`, then `write.Entry(entry)` for each
// entry, or `write.EmptyElement()` alone for an empty list. The caller
// checks `minRun` first (CheckMinRun).
template <typename TextOf, typename Writer>
void GroupTexts(ListBounds bounds, std::size_t count, int minRun, TextOf&& textOf, Writer& write) {
  auto sorted = ReadKeys(bounds, count, textOf);
  sorted.SortKeys();
  if (SortEndOverflows(bounds, count)) Raise(ErrorNumber::Overflow);
  if (count == 0) {
    write.EmptyElement();
    return;
  }
  // The entries are gathered first, so that the writer can make room for
  // all of them at once.
  Recycled<BasicGroupEntry<CharOf<TextOf>>> entries;
  entries->clear();
  FoldRuns(sorted, minRun, [&](const auto& entry) { entries->push_back(entry); });
  write.Reserve(entries->size());
  for (const auto& entry : *entries) write.Entry(entry);
}

}  // namespace ztxgrp::internal
