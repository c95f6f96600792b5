// A parts list's quantity cell as collapsing and expanding read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <utility>

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

// How many boards a list's quantities are for: the multiple of the
// designators' number that most rows with designators and a whole quantity
// have (more than half of them), else 1. `rows`: each row's number of
// designators and quantity.
inline std::uint64_t BoardsOf(std::span<const std::pair<std::size_t, Quantity>> rows) {
  std::map<std::uint64_t, std::size_t> multiples;  // rows per multiple
  std::size_t counted = 0;
  for (const auto& [count, quantity] : rows) {
    if (count == 0 || quantity.kind != Quantity::Whole) continue;
    ++counted;
    if (quantity.value % count == 0 && quantity.value != 0) ++multiples[quantity.value / count];
  }
  std::uint64_t boards = 1;
  std::size_t most = 0;
  for (const auto& [multiple, times] : multiples)
    if (times > most) {
      boards = multiple;
      most = times;
    }
  // Most rows, not merely more than any other multiple: a list whose rows
  // disagree is read as a list for one board.
  return boards < 2 || 2 * most <= counted ? 1 : boards;
}

}  // namespace ztxgrp::parts_detail
