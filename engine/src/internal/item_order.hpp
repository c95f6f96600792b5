// Sort keys of items and their stable order.
//
// A key is an item's reading: prefix (binary code-unit order) then number
// (signed). Equal keys keep their input order, which is exactly the order an
// exchange sort of neighbours leaves behind.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ztxgrp::internal {

struct ItemKey {
  std::u16string_view prefix;
  std::int16_t number = -1;
};

inline bool KeyLess(const ItemKey& a, const ItemKey& b) noexcept {
  const int order = a.prefix.compare(b.prefix);
  return order < 0 || (order == 0 && a.number < b.number);
}

// The permutation that sorts `keys` stably: result[k] is the index of the key
// that goes to position k.
std::vector<std::uint32_t> StableOrder(const std::vector<ItemKey>& keys);

}  // namespace ztxgrp::internal
