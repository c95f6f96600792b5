#include "internal/sorted_keys.hpp"

#include <algorithm>

namespace ztxgrp::internal {

template <typename Char>
SortedKeys<Char>::SortedKeys(std::size_t count) : prefixes_(count) {
  items_->resize(count);  // every position is added before it is read
}

template <typename Char>
void SortedKeys<Char>::AddRun(std::uint32_t position, View prefix, std::int16_t number,
                              std::int32_t count) {
  if (count <= 0) return;
  const std::uint32_t id = prefixes_.Intern(prefix);
  Spans(id, number, static_cast<std::int16_t>(number + count - 1));
  for (std::int32_t k = 0; k < count; ++k)
    (*items_)[position + static_cast<std::uint32_t>(k)] = PackItem(
        id, static_cast<std::int16_t>(number + k), position + static_cast<std::uint32_t>(k));
}

template <typename Char>
std::vector<std::uint32_t> SortedKeys<Char>::RankPrefixes() {
  std::vector<std::uint32_t> ranks = prefixes_.Ranks();
  prefixOfRank_.resize(ranks.size());
  for (std::uint32_t id = 0; id < ranks.size(); ++id)
    prefixOfRank_[ranks[id]] = prefixes_.Prefix(id);
  return ranks;
}

template <typename Char>
bool SortedKeys<Char>::SortByCounting(const std::vector<std::uint32_t>& ranks) {
  // Whether the spans of numbers of all prefixes together stay within a few
  // slots per item.
  const std::size_t prefixes = ranks.size();
  if (items_->size() > 0xFFFF) return false;  // counts are 16-bit
  std::vector<std::uint32_t> idOfRank(prefixes);
  for (std::uint32_t id = 0; id < prefixes; ++id) idOfRank[ranks[id]] = id;
  // Slots of each prefix's span, in rank order; `origin` maps an id and a
  // number to its slot.
  std::vector<std::uint32_t> origin(prefixes);
  std::size_t slots = 0;
  for (const std::uint32_t id : idOfRank) {
    origin[id] = static_cast<std::uint32_t>(slots) - low_[id];
    slots += high_[id] - low_[id] + 1u;
    if (slots > 2 * items_->size() + 1024) return false;
  }
  Recycled<std::uint16_t> counts;
  counts->assign(slots, 0);
  for (const std::uint64_t item : *items_)
    ++(*counts)[origin[RankOf(item)] + (internal::KeyOf(item) & 0xFFFF)];
  std::size_t at = 0;
  for (std::uint32_t rank = 0; rank < prefixes; ++rank) {
    const std::uint32_t id = idOfRank[rank];
    for (std::uint32_t number = low_[id]; number <= high_[id]; ++number) {
      const std::uint64_t item = std::uint64_t{(rank << 16) | number} << 32;
      for (std::uint32_t k = (*counts)[origin[id] + number]; k > 0; --k) (*items_)[at++] = item;
    }
  }
  return true;
}

template <typename Char>
void SortedKeys<Char>::SortKeys() {
  const std::vector<std::uint32_t> ranks = RankPrefixes();
  if (items_->empty() || !SortByCounting(ranks)) SortRanked(ranks);
}

template <typename Char>
void SortedKeys<Char>::Sort() {
  SortRanked(RankPrefixes());
}

template <typename Char>
void SortedKeys<Char>::SortRanked(const std::vector<std::uint32_t>& ranks) {
  // The ids of first sight become ranks: the packed order is the key order.
  for (std::uint64_t& item : *items_)
    item = PackItem(ranks[RankOf(item)], internal::NumberOf(item), IndexOf(item));
  SortPacked(*items_);
}

template class SortedKeys<char>;
template class SortedKeys<char16_t>;

}  // namespace ztxgrp::internal
