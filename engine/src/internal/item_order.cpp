#include "internal/item_order.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "internal/code_units.hpp"
#include "internal/recycled.hpp"
#include "ztxgrp/keyed_hash.hpp"

namespace ztxgrp::internal {
namespace {

template <typename Char>
bool SameText(std::basic_string_view<Char> a, std::basic_string_view<Char> b) noexcept {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Char)) == 0;
}

constexpr std::size_t kRadixThreshold = 256;

}  // namespace

template <typename Char>
PrefixTable<Char>::PrefixTable(std::size_t expected) : expected_(expected) {
  std::size_t capacity = 16;
  while (capacity < 2 * std::min<std::size_t>(expected, 1024)) capacity *= 2;
  slots_.assign(capacity, 0);
}

template <typename Char>
std::uint32_t PrefixTable<Char>::Find(View prefix, std::uint64_t tag) {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = SlotOf(tag, mask);; slot = (slot + 1) & mask) {
    const std::uint32_t entry = slots_[slot];
    if (entry == 0) {
      const auto id = static_cast<std::uint32_t>(spans_.size());
      spans_.push_back({arena_.size(), prefix.size()});
      arena_.insert(arena_.end(), prefix.begin(), prefix.end());
      tags_.push_back(tag);
      slots_[slot] = id + 1;
      if (2 * spans_.size() > slots_.size()) Grow();
      return id;
    }
    if (tags_[entry - 1] == tag && (!(tag & kLongTag) || SameText(Prefix(entry - 1), prefix)))
      return entry - 1;
  }
}

template <typename Char>
void PrefixTable<Char>::Grow() {
  // Few rehashes when many are new: when most items so far brought a prefix
  // of their own, room for every item that may come.
  std::size_t capacity = slots_.size() * 4;
  if (2 * spans_.size() > calls_)
    while (capacity < 2 * expected_) capacity *= 2;
  std::vector<std::uint32_t> slots(capacity, 0);
  // Room for as many prefixes as the new table takes before it grows.
  spans_.reserve(slots.size() / 2);
  tags_.reserve(slots.size() / 2);
  arena_.reserve(arena_.size() / spans_.size() * (slots.size() / 2));
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t id = 0; id < spans_.size(); ++id) {
    std::size_t slot = SlotOf(tags_[id], mask);
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = id + 1;
  }
  slots_ = std::move(slots);
}

namespace {

// The code units of a prefix that fill 64 bits (four UTF-16 units, eight
// bytes) from some depth, weighted and zero-padded, with how many of them
// the prefix has: a prefix that ends orders before its extensions.
struct RankEntry {
  std::uint64_t units;
  std::uint32_t length;  // 0..kUnits
  std::uint32_t id;

  template <typename Char>
  void Read(std::basic_string_view<Char> prefix, std::size_t depth) noexcept {
    constexpr int kBits = CodeUnits<Char>::kBits;
    constexpr std::size_t kUnits = 64 / kBits;
    const std::size_t size = prefix.size();
    length = static_cast<std::uint32_t>(depth < size ? std::min(size - depth, kUnits) : 0);
    units = 0;
    for (std::size_t k = 0; k < kUnits; ++k)
      units = (units << kBits) | (k < length ? CodeUnits<Char>::Weight(prefix[depth + k]) : 0u);
  }
  bool operator<(const RankEntry& other) const noexcept {
    return units != other.units ? units < other.units : length < other.length;
  }
  bool SameKey(const RankEntry& other) const noexcept {
    return units == other.units && length == other.length;
  }
};

// Sorts entries by (units, length) in linear time: a least significant digit
// radix sort over the bits that differ, the length first. Small ranges use a
// comparison sort.
void SortRankEntries(RankEntry* first, std::size_t count, std::vector<RankEntry>& buffer,
                     std::vector<std::uint32_t>& counts) {
  if (count <= 64) {
    std::sort(first, first + count);
    return;
  }
  std::uint64_t varying = 0;
  bool lengthVaries = false;
  for (std::size_t k = 1; k < count; ++k) {
    varying |= first[k].units ^ first[0].units;
    lengthVaries |= first[k].length != first[0].length;
  }
  buffer.resize(count);
  // Each pass moves the entries between `first` and the buffer; they are
  // copied back once at the end if they finish in the buffer.
  RankEntry* from = first;
  RankEntry* to = buffer.data();
  auto pass = [&](int buckets, auto digitOf) {
    counts.assign(static_cast<std::size_t>(buckets), 0);
    for (std::size_t k = 0; k < count; ++k) ++counts[digitOf(from[k])];
    std::uint32_t offset = 0;
    for (std::uint32_t& bucket : counts) offset += std::exchange(bucket, offset);
    for (std::size_t k = 0; k < count; ++k) to[counts[digitOf(from[k])]++] = from[k];
    std::swap(from, to);
  };
  if (lengthVaries) pass(9, [](const RankEntry& e) { return e.length; });
  // Digits of up to 11 bits, each starting at the lowest bit that varies
  // and is not sorted yet: runs of bits that never vary (the high bits of
  // letters' code units) cost no pass.
  for (std::uint64_t left = varying; left != 0;) {
    const int shift = std::countr_zero(left);
    const int width = std::min(11, 64 - shift - std::countl_zero(left));
    const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
    pass(1 << width, [&](const RankEntry& e) { return (e.units >> shift) & mask; });
    left &= ~(mask << shift);
  }
  if (from != first) std::copy(from, from + count, first);
}

}  // namespace

template <typename Char>
std::vector<std::uint32_t> PrefixTable<Char>::Ranks() const {
  // Prefixes are ordered 64 bits of code units at a time (a most significant digit
  // radix sort): a range of prefixes that agree on everything before `depth`
  // is sorted by its next four units in linear time, and only runs that
  // agree on those too go one step deeper. Each prefix thus costs its own
  // length plus a constant per step, whatever the prefixes are.
  struct Task {
    std::size_t begin, end, depth;
  };
  constexpr std::size_t kUnits = 64 / CodeUnits<Char>::kBits;
  std::vector<RankEntry> entries(spans_.size());
  for (std::uint32_t id = 0; id < spans_.size(); ++id) entries[id].id = id;
  std::vector<RankEntry> buffer;
  std::vector<std::uint32_t> counts;
  std::vector<Task> tasks = {{0, entries.size(), 0}};
  while (!tasks.empty()) {
    const Task task = tasks.back();
    tasks.pop_back();
    RankEntry* const first = entries.data() + task.begin;
    const std::size_t count = task.end - task.begin;
    for (std::size_t k = 0; k < count; ++k) first[k].Read(Prefix(first[k].id), task.depth);
    SortRankEntries(first, count, buffer, counts);
    for (std::size_t begin = 0, end = 0; begin < count; begin = end) {
      while (end < count && first[end].SameKey(first[begin])) ++end;
      // Prefixes that have ended are equal, and distinct prefixes never are.
      if (end - begin > 1 && first[begin].length == kUnits)
        tasks.push_back({task.begin + begin, task.begin + end, task.depth + kUnits});
    }
  }
  std::vector<std::uint32_t> ranks(spans_.size());
  for (std::uint32_t rank = 0; rank < entries.size(); ++rank) ranks[entries[rank].id] = rank;
  return ranks;
}

template class PrefixTable<char>;
template class PrefixTable<char16_t>;

void SortPacked(std::vector<std::uint64_t>& items) {
  if (items.size() < kRadixThreshold) {
    std::sort(items.begin(), items.end());
    return;
  }
  // Least significant digit first over the bits of the key that differ
  // between items: board lists vary in about 21 bits, two passes of 11. A
  // digit has no more bits than the list has items (1,000 items: three
  // passes of 7), so that the counting tables stay small beside the items.
  std::uint32_t varying = 0;
  const std::uint32_t first = KeyOf(items[0]);
  for (std::uint64_t item : items) varying |= KeyOf(item) ^ first;
  if (varying == 0) return;
  const int low = std::countr_zero(varying);
  const int bits = 32 - std::countl_zero(varying) - low;
  const int widest = std::clamp(static_cast<int>(std::bit_width(items.size())) - 3, 6, 11);
  const int passes = (bits + widest - 1) / widest;
  const int width = (bits + passes - 1) / passes;
  const std::uint32_t digitMask = (1u << width) - 1;
  std::vector<std::uint32_t> counts(std::size_t{1} << width);
  const std::size_t count = items.size();
  Recycled<std::uint64_t> buffer;
  buffer->resize(count);  // every pass writes every item
  std::uint64_t* from = items.data();
  std::uint64_t* to = buffer->data();
  for (int pass = 0; pass < passes; ++pass) {
    const int shift = 32 + low + pass * width;
    std::fill(counts.begin(), counts.end(), 0u);
    for (std::size_t k = 0; k < count; ++k) ++counts[(from[k] >> shift) & digitMask];
    std::uint32_t offset = 0;
    for (std::uint32_t& bucket : counts) offset += std::exchange(bucket, offset);
    for (std::size_t k = 0; k < count; ++k) to[counts[(from[k] >> shift) & digitMask]++] = from[k];
    std::swap(from, to);
  }
  if (from != items.data()) std::copy(from, from + count, items.data());
}

}  // namespace ztxgrp::internal
