#include "internal/sorted_keys.hpp"

#include <algorithm>
#include <bit>

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
bool SortedKeys<Char>::SortBySlots(const std::vector<std::uint32_t>& ranks) {
  const std::size_t prefixes = ranks.size();
  const std::size_t count = items_->size();
  if (count > 0xFFFF) return false;  // counts are 16-bit
  std::vector<std::uint32_t> idOfRank(prefixes);
  for (std::uint32_t id = 0; id < prefixes; ++id) idOfRank[ranks[id]] = id;
  // Slots of each prefix's span, in rank order; `origin` maps an id and a
  // number to its slot. Spans within a few slots per item are counted; spans
  // within 64 slots per item (a sparse sample of a board) are marked in a
  // bitmap of the same size as the items.
  std::vector<std::uint32_t> origin(prefixes);
  std::size_t slots = 0;
  for (const std::uint32_t id : idOfRank) {
    origin[id] = static_cast<std::uint32_t>(slots) - low_[id];
    slots += high_[id] - low_[id] + 1u;
    if (slots > 64 * count + 4096) return false;
  }
  if (slots > 2 * count + 1024) return SortByBits(idOfRank, origin, slots);
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
bool SortedKeys<Char>::SortByBits(const std::vector<std::uint32_t>& idOfRank,
                                  const std::vector<std::uint32_t>& origin, std::size_t slots) {
  Recycled<std::uint64_t> bits;
  bits->assign((slots + 63) / 64, 0);
  for (const std::uint64_t item : *items_) {
    const std::uint32_t slot = origin[RankOf(item)] + (internal::KeyOf(item) & 0xFFFF);
    std::uint64_t& word = (*bits)[slot / 64];
    const std::uint64_t bit = std::uint64_t{1} << (slot % 64);
    if (word & bit) return false;  // an item twice: the bitmap cannot hold it
    word |= bit;
  }
  // Marked slots in order are the items in order; a slot's rank is the span
  // it falls in, and its number its place in that span.
  std::size_t at = 0;
  std::uint32_t rank = 0;
  std::uint32_t spanEnd = high_[idOfRank[0]] - low_[idOfRank[0]] + 1u;
  std::uint32_t spanStart = 0;
  for (std::size_t w = 0; w < bits->size(); ++w) {
    for (std::uint64_t word = (*bits)[w]; word != 0; word &= word - 1) {
      const auto slot = static_cast<std::uint32_t>(w * 64 + std::countr_zero(word));
      while (slot >= spanEnd) {
        spanStart = spanEnd;
        ++rank;
        spanEnd += high_[idOfRank[rank]] - low_[idOfRank[rank]] + 1u;
      }
      const std::uint32_t number = low_[idOfRank[rank]] + (slot - spanStart);
      (*items_)[at++] = std::uint64_t{(rank << 16) | number} << 32;
    }
  }
  return true;
}

template <typename Char>
void SortedKeys<Char>::SortKeys() {
  const std::vector<std::uint32_t> ranks = RankPrefixes();
  if (items_->empty() || !SortBySlots(ranks)) SortRanked(ranks);
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
