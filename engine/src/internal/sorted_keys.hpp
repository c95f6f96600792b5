// Items in the engine's order, computed once: prefixes interned and ranked,
// each item packed with its prefix's rank, its number and its position, and
// the packed items sorted by a radix sort. Equal keys keep their positions'
// order, which is exactly the order an exchange sort of neighbours leaves.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "internal/counters.hpp"
#include "internal/item_order.hpp"
#include "internal/recycled.hpp"

namespace ztxgrp::internal {

template <typename Char>
class SortedKeys {
 public:
  using View = std::basic_string_view<Char>;
  // Room for items at positions 0 .. count-1.
  explicit SortedKeys(std::size_t count);

  // The key of the item at `position`; the prefix must outlive this object.
  void Add(std::uint32_t position, View prefix, std::int16_t number) {
    const std::uint32_t id = prefixes_.Intern(prefix);
    (*items_)[position] = PackItem(id, number, position);
    Spans(id, number, number);
  }
  // The keys of `count` items of one prefix at positions `position`... and
  // numbers `number`...: the prefix is interned once for them all.
  void AddRun(std::uint32_t position, View prefix, std::int16_t number, std::int32_t count);

  // Ranks the prefixes and sorts the items; once, after every item was added.
  void Sort();
  // The same for callers that need the keys in order but not the positions
  // (grouping writes each entry from its key): equal keys may then come in
  // any order and PositionOf is not meaningful. Lists whose numbers lie
  // close together under each prefix, as designators do, are sorted by
  // counting or by a bitmap in time linear in the items.
  void SortKeys();

  // The k-th item in order.
  std::size_t size() const noexcept { return items_->size(); }
  std::uint32_t PositionOf(std::size_t k) const noexcept { return IndexOf((*items_)[k]); }
  std::int16_t NumberOf(std::size_t k) const noexcept { return internal::NumberOf((*items_)[k]); }
  View PrefixOf(std::size_t k) const noexcept { return prefixOfRank_[RankOf((*items_)[k])]; }
  // The key as one comparable number: prefix rank, then number.
  std::uint32_t KeyOf(std::size_t k) const noexcept { return internal::KeyOf((*items_)[k]); }
  // True when item k+1 has item k's prefix and the next number (a prefix's
  // number 32767 is never followed: one more would be the next prefix).
  bool NextFollows(std::size_t k) const noexcept {
    return NumberOf(k) != kLargest16 && KeyOf(k + 1) == KeyOf(k) + 1;
  }

 private:
  // Widens the span of numbers of prefix `id` to take first..last in.
  void Spans(std::uint32_t id, std::int16_t first, std::int16_t last) {
    const auto low = static_cast<std::uint16_t>(first - kSmallest16);
    const auto high = static_cast<std::uint16_t>(last - kSmallest16);
    if (id == low_.size()) {
      low_.push_back(low);
      high_.push_back(high);
      return;
    }
    low_[id] = std::min(low_[id], low);
    high_[id] = std::max(high_[id], high);
  }
  std::vector<std::uint32_t> RankPrefixes();
  // Sorts by the slots of each prefix's span of numbers when the spans are
  // small beside the items; false (nothing changed) otherwise.
  bool SortBySlots(const std::vector<std::uint32_t>& ranks);
  // The same with one bit per slot; false when an item comes twice.
  bool SortByBits(const std::vector<std::uint32_t>& idOfRank,
                  const std::vector<std::uint32_t>& origin, std::size_t slots);
  void SortRanked(const std::vector<std::uint32_t>& ranks);

  PrefixTable<Char> prefixes_;
  Recycled<std::uint64_t> items_;  // packed; by position until sorted
  // The smallest and largest number of each prefix id, less kSmallest16.
  std::vector<std::uint16_t> low_, high_;
  std::vector<View> prefixOfRank_;
};

}  // namespace ztxgrp::internal
