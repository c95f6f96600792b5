#include "internal/item_order.hpp"

#include <algorithm>
#include <numeric>

namespace ztxgrp::internal {

std::vector<std::uint32_t> StableOrder(const std::vector<ItemKey>& keys) {
  std::vector<std::uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return KeyLess(keys[a], keys[b]); });
  return order;
}

}  // namespace ztxgrp::internal
