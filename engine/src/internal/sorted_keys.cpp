#include "internal/sorted_keys.hpp"

namespace ztxgrp::internal {

template <typename Char>
SortedKeys<Char>::SortedKeys(std::size_t count) : prefixes_(count), items_(count) {}

template <typename Char>
void SortedKeys<Char>::Add(std::uint32_t position, View prefix, std::int16_t number) {
  items_[position] = PackItem(prefixes_.Intern(prefix), number, position);
}

template <typename Char>
void SortedKeys<Char>::AddRun(std::uint32_t position, View prefix, std::int16_t number,
                              std::int32_t count) {
  if (count <= 0) return;
  const std::uint32_t id = prefixes_.Intern(prefix);
  for (std::int32_t k = 0; k < count; ++k)
    items_[position + static_cast<std::uint32_t>(k)] = PackItem(
        id, static_cast<std::int16_t>(number + k), position + static_cast<std::uint32_t>(k));
}

template <typename Char>
void SortedKeys<Char>::Sort() {
  const std::vector<std::uint32_t> ranks = prefixes_.Ranks();
  prefixOfRank_.resize(ranks.size());
  for (std::uint32_t id = 0; id < ranks.size(); ++id)
    prefixOfRank_[ranks[id]] = prefixes_.Prefix(id);
  // The ids of first sight become ranks: the packed order is the key order.
  for (std::uint64_t& item : items_)
    item = PackItem(ranks[RankOf(item)], internal::NumberOf(item), IndexOf(item));
  SortPacked(items_);
}

template class SortedKeys<char>;
template class SortedKeys<char16_t>;

}  // namespace ztxgrp::internal
