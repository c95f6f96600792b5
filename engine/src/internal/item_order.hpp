// Sort keys of items and their stable order.
//
// A key is an item's reading: prefix (binary code-unit order) then number
// (signed). Equal keys keep their input order, which is exactly the order an
// exchange sort of neighbours leaves behind. Prefixes are interned and ranked
// once, so that sorting works on 64-bit integers: prefix rank, number and
// input index packed together, sorted by a radix sort in linear time.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "internal/code_units.hpp"
#include "ztxgrp/keyed_hash.hpp"
#include "ztxgrp/limits.hpp"

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
  // The id of `prefix`; a short prefix met before is found at its first slot
  // here, the rest out of line.
  std::uint32_t Intern(View prefix) {
    ++calls_;
    const std::uint64_t tag = TagOf(prefix);
    const std::uint32_t entry = slots_[SlotOf(tag, slots_.size() - 1)];
    if (entry != 0 && tags_[entry - 1] == tag && !(tag & kLongTag)) return entry - 1;
    return Find(prefix, tag);
  }
  std::size_t size() const { return spans_.size(); }
  // Valid until the next Intern; moving the table keeps it valid.
  View Prefix(std::uint32_t id) const {
    return {arena_.data() + spans_[id].offset, spans_[id].size};
  }
  // The rank of each id among all interned prefixes in binary order.
  std::vector<std::uint32_t> Ranks() const;

 private:
  static constexpr std::uint64_t kLongTag = std::uint64_t{1} << 63;
  // Up to 48 bits of code units and the length, exactly; a longer prefix is
  // tagged by a keyed hash of all of its code units and its length.
  static std::uint64_t TagOf(View prefix) noexcept {
    constexpr int kBits = CodeUnits<Char>::kBits;
    const std::size_t size = prefix.size();
    if (size > 48 / kBits) return kLongTag | (KeyedHash(prefix) >> 1);
    // Each unit at its place, without a loop: up to three units from the
    // first, middle and last place; four to six bytes as two overlapping
    // 32-bit words. Units that two reads share are the same.
    auto unit = [&](std::size_t k) {
      return std::uint64_t{static_cast<std::make_unsigned_t<Char>>(prefix[k])} << (kBits * k);
    };
    std::uint64_t tag = std::uint64_t{size} << 48;
    if (sizeof(Char) == 1 && size > 3) {
      std::uint32_t first, last;
      std::memcpy(&first, prefix.data(), 4);
      std::memcpy(&last, prefix.data() + size - 4, 4);
      if constexpr (std::endian::native == std::endian::little)
        return tag | first | std::uint64_t{last} << (8 * (size - 4));
      for (std::size_t k = 0; k < size; ++k) tag |= unit(k);
    } else if (size > 0) {
      tag |= unit(0) | unit(size / 2) | unit(size - 1);
    }
    return tag;
  }
  static std::size_t SlotOf(std::uint64_t tag, std::size_t mask) noexcept {
    return static_cast<std::size_t>((tag * 0x9E3779B97F4A7C15ull) >> 40) & mask;
  }
  std::uint32_t Find(View prefix, std::uint64_t tag);
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
