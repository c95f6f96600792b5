#include "internal/item_order.hpp"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

namespace ztxgrp::internal {
namespace {

constexpr std::uint64_t kLongTag = std::uint64_t{1} << 63;

// The high and low halves of a 128-bit product, folded: a strong mixer that
// also works where the compiler has no 128-bit integer.
std::uint64_t FoldedProduct(std::uint64_t a, std::uint64_t b) noexcept {
#ifdef __SIZEOF_INT128__
  __extension__ typedef unsigned __int128 Wide;
  const Wide product = static_cast<Wide>(a) * b;
  return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
#else
  const std::uint64_t aLow = a & 0xFFFFFFFF, aHigh = a >> 32, bLow = b & 0xFFFFFFFF,
                      bHigh = b >> 32;
  const std::uint64_t low = aLow * bLow, middle1 = aHigh * bLow, middle2 = aLow * bHigh;
  const std::uint64_t middle = (low >> 32) + (middle1 & 0xFFFFFFFF) + (middle2 & 0xFFFFFFFF);
  const std::uint64_t high = aHigh * bHigh + (middle1 >> 32) + (middle2 >> 32) + (middle >> 32);
  return ((middle << 32) | (low & 0xFFFFFFFF)) ^ high;
#endif
}

// Keys of the text hash, chosen anew in every process: texts chosen to
// collide in one process's table cannot be known in advance, so no input can
// force long probe chains.
struct HashKeys {
  std::uint64_t mix, step;
};

const HashKeys& Keys() noexcept {
  static const HashKeys keys = [] {
    static int anchor;
    const auto time = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&anchor));
    const std::uint64_t mix = FoldedProduct(time ^ 0xA0761D6478BD642Full, address | 1) | 1;
    return HashKeys{mix, FoldedProduct(mix, 0xE7037ED1A0B428DBull) | 1};
  }();
  return keys;
}

// Up to three code units and the length, exactly; a longer prefix is tagged
// by a keyed hash of all of its code units and its length.
std::uint64_t TagOf(std::u16string_view prefix) noexcept {
  const std::size_t size = prefix.size();
  if (size <= 3) {
    std::uint64_t tag = std::uint64_t{size} << 48;
    for (std::size_t k = 0; k < size; ++k) tag |= std::uint64_t{prefix[k]} << (16 * k);
    return tag;
  }
  const HashKeys& keys = Keys();
  std::uint64_t hash = keys.mix ^ size;
  std::size_t k = 0;
  for (; k + 4 <= size; k += 4) {
    std::uint64_t chunk;
    std::memcpy(&chunk, prefix.data() + k, sizeof chunk);
    hash = FoldedProduct(hash ^ chunk, keys.step);
  }
  std::uint64_t rest = 0;
  for (; k < size; ++k) rest = (rest << 16) | prefix[k];
  hash = FoldedProduct(hash ^ rest ^ keys.mix, keys.step);
  return kLongTag | (hash >> 1);
}

std::size_t SlotOf(std::uint64_t tag, std::size_t mask) noexcept {
  return static_cast<std::size_t>((tag * 0x9E3779B97F4A7C15ull) >> 40) & mask;
}

bool SameText(std::u16string_view a, std::u16string_view b) noexcept {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * 2) == 0;
}

constexpr std::size_t kRadixThreshold = 256;

}  // namespace

PrefixTable::PrefixTable(std::size_t expected) {
  std::size_t capacity = 16;
  while (capacity < 2 * std::min<std::size_t>(expected, 1024)) capacity *= 2;
  slots_.assign(capacity, 0);
}

std::uint32_t PrefixTable::Intern(std::u16string_view prefix) {
  const std::uint64_t tag = TagOf(prefix);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = SlotOf(tag, mask);; slot = (slot + 1) & mask) {
    const std::uint32_t entry = slots_[slot];
    if (entry == 0) {
      const auto id = static_cast<std::uint32_t>(prefixes_.size());
      prefixes_.push_back(prefix);
      tags_.push_back(tag);
      slots_[slot] = id + 1;
      if (2 * prefixes_.size() > slots_.size()) Grow();
      return id;
    }
    if (tags_[entry - 1] == tag && (!(tag & kLongTag) || SameText(prefixes_[entry - 1], prefix)))
      return entry - 1;
  }
}

void PrefixTable::Grow() {
  std::vector<std::uint32_t> slots(slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t id = 0; id < prefixes_.size(); ++id) {
    std::size_t slot = SlotOf(tags_[id], mask);
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = id + 1;
  }
  slots_ = std::move(slots);
}

std::vector<std::uint32_t> PrefixTable::Ranks() const {
  // Most prefixes differ within their first four code units: those, packed
  // into one integer, decide most comparisons; only equal heads compare the
  // whole texts.
  struct Entry {
    std::uint64_t head;
    std::uint32_t id;
  };
  std::vector<Entry> entries(prefixes_.size());
  for (std::uint32_t id = 0; id < prefixes_.size(); ++id) {
    std::uint64_t head = 0;
    const std::u16string_view prefix = prefixes_[id];
    for (std::size_t k = 0; k < 4; ++k) head = (head << 16) | (k < prefix.size() ? prefix[k] : 0u);
    entries[id] = {head, id};
  }
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (a.head != b.head) return a.head < b.head;
    return prefixes_[a.id] < prefixes_[b.id];
  });
  std::vector<std::uint32_t> ranks(prefixes_.size());
  for (std::uint32_t rank = 0; rank < entries.size(); ++rank) ranks[entries[rank].id] = rank;
  return ranks;
}

void SortPacked(std::vector<std::uint64_t>& items) {
  if (items.size() < kRadixThreshold) {
    std::sort(items.begin(), items.end());
    return;
  }
  // Least significant digit first over the bits of the key that differ
  // between items: board lists vary in about 21 bits, two passes of 11.
  std::uint32_t varying = 0;
  const std::uint32_t first = KeyOf(items[0]);
  for (std::uint64_t item : items) varying |= KeyOf(item) ^ first;
  if (varying == 0) return;
  const int low = std::countr_zero(varying);
  const int bits = 32 - std::countl_zero(varying) - low;
  const int passes = (bits + 10) / 11;
  const int width = (bits + passes - 1) / passes;
  const std::uint32_t digitMask = (1u << width) - 1;
  std::vector<std::uint32_t> counts(std::size_t{1} << width);
  std::vector<std::uint64_t> buffer(items.size());
  for (int pass = 0; pass < passes; ++pass) {
    const int shift = 32 + low + pass * width;
    std::fill(counts.begin(), counts.end(), 0u);
    for (std::uint64_t item : items) ++counts[(item >> shift) & digitMask];
    std::uint32_t offset = 0;
    for (std::uint32_t& count : counts) offset += std::exchange(count, offset);
    for (std::uint64_t item : items) buffer[counts[(item >> shift) & digitMask]++] = item;
    items.swap(buffer);
  }
}

}  // namespace ztxgrp::internal
