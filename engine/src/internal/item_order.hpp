// Sort keys of items and their stable order.
//
// A key is an item's reading: prefix (binary code-unit order) then number
// (signed). Equal keys keep their input order, which is exactly the order an
// exchange sort of neighbours leaves behind. Prefixes are interned and ranked
// once, so that sorting works on 64-bit integers: prefix rank, number and
// input index packed together, sorted by a radix sort in linear time.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "ztxgrp/engine/limits.hpp"

namespace ztxgrp::internal {

template <typename Char>
struct ItemKey {
  std::basic_string_view<Char> prefix;
  std::int16_t number = -1;
};

// Distinct prefixes, each given a dense id on first sight; UTF-8 (char) or
// UTF-16 (char16_t), ranked in UTF-16 order either way.
template <typename Char>
class PrefixTable {
 public:
  using View = std::basic_string_view<Char>;
  explicit PrefixTable(std::size_t expected = 16);
  std::uint32_t Intern(View prefix);
  std::size_t size() const { return spans_.size(); }
  // Valid until the next Intern; moving the table keeps it valid.
  View Prefix(std::uint32_t id) const {
    return {arena_.data() + spans_[id].offset, spans_[id].size};
  }
  // The rank of each id among all interned prefixes in binary order.
  std::vector<std::uint32_t> Ranks() const;

 private:
  void Grow();
  // Each distinct prefix is copied once, side by side: ranking and writing
  // then read compact memory rather than texts spread over the list.
  struct Span {
    std::size_t offset, size;
  };
  std::vector<Char> arena_;
  std::vector<Span> spans_;
  // A prefix of up to 48 bits of code units (three UTF-16 units, six bytes)
  // is its own tag (units and length); a longer one is tagged by a hash of
  // its units and length, and compared in full.
  std::vector<std::uint64_t> tags_;
  std::vector<std::uint32_t> slots_;  // id + 1, or 0 for a free slot
  std::size_t expected_;              // items that may come
  std::size_t calls_ = 0;             // items interned so far
};

// A sortable item: the key (prefix rank, number) in the upper 32 bits, the
// input index in the lower 32. Sorting items sorts by key, then by index.
inline std::uint64_t PackItem(std::uint32_t rank, std::int16_t number, std::uint32_t index) {
  const std::uint32_t key = (rank << 16) | static_cast<std::uint16_t>(number - kSmallestNumber);
  return (std::uint64_t{key} << 32) | index;
}
inline std::uint32_t IndexOf(std::uint64_t item) {
  return static_cast<std::uint32_t>(item);
}
inline std::uint32_t KeyOf(std::uint64_t item) {
  return static_cast<std::uint32_t>(item >> 32);
}
inline std::uint32_t RankOf(std::uint64_t item) {
  return KeyOf(item) >> 16;
}
inline std::int16_t NumberOf(std::uint64_t item) {
  return static_cast<std::int16_t>(static_cast<int>((item >> 32) & 0xFFFF) + kSmallestNumber);
}

// Sorts packed items ascending (stable by construction, as the index is part
// of each item).
void SortPacked(std::vector<std::uint64_t>& items);

}  // namespace ztxgrp::internal
