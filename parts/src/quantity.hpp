// A parts list's quantity cell as collapsing and expanding read it.
#pragma once

#include <cstdint>
#include <string_view>

namespace ztxgrp::parts_detail {

// A quantity cell: empty, a whole number, or something else (DNP, n/a).
struct Quantity {
  enum { None, Whole, Other } kind = None;
  std::uint64_t value = 0;
};
inline Quantity ReadQuantity(std::string_view cell) {
  while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
  while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
  Quantity quantity;
  if (cell.empty()) return quantity;
  quantity.kind = Quantity::Whole;
  for (const char c : cell) {
    if (c < '0' || c > '9' || quantity.value > (UINT64_MAX - 9) / 10) {
      quantity.kind = Quantity::Other;
      return quantity;
    }
    quantity.value = quantity.value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return quantity;
}

}  // namespace ztxgrp::parts_detail
