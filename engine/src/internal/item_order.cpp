#include "internal/item_order.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace ztxgrp::internal {
namespace {

constexpr std::uint64_t kLongTag = std::uint64_t{1} << 63;

// Up to three code units and the length, exactly; longer prefixes get the
// length and a hash of up to four code units from each end, so that long
// prefixes cost no more than short ones.
std::uint64_t TagOf(std::u16string_view prefix) noexcept {
  const std::size_t size = prefix.size();
  if (size <= 3) {
    std::uint64_t tag = std::uint64_t{size} << 48;
    for (std::size_t k = 0; k < size; ++k) tag |= std::uint64_t{prefix[k]} << (16 * k);
    return tag;
  }
  std::uint32_t hash = 2166136261u;
  for (std::size_t k = 0; k < 4; ++k) hash = (hash ^ prefix[k]) * 16777619u;
  for (std::size_t k = size - 4; k < size; ++k) hash = (hash ^ prefix[k]) * 16777619u;
  return kLongTag | (std::uint64_t{size} << 32) | hash;
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
