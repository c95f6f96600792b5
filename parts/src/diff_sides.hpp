// A compared list read for comparing: its columns chosen, the columns both
// lists compare paired, every designator with its row's interned cells, the
// rows without designators, and the designators it holds more than once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "designator_cell.hpp"
#include "ztxgrp/keyed_hash.hpp"
#include "ztxgrp/parts_diff.hpp"

namespace ztxgrp::parts_detail {

inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Rows' compared cells (and quantity) interned: equal contents, equal ids.
class KeyTable {
 public:
  std::size_t Intern(const std::vector<std::string_view>& cells) {
    // The key is built in a buffer kept from call to call; only a new one is
    // stored.
    key_.clear();
    for (const std::string_view cell : cells) {
      const std::uint64_t size = cell.size();
      key_.append(reinterpret_cast<const char*>(&size), sizeof size).append(cell);
    }
    if (const auto found = ids_.find(key_); found != ids_.end()) return found->second;
    ids_.emplace(key_, cells_.size());
    cells_.emplace_back(cells.begin(), cells.end());
    return cells_.size() - 1;
  }
  const std::vector<std::string>& Cells(std::size_t id) const { return cells_[id]; }

 private:
  struct Hash {
    std::size_t operator()(const std::string& key) const noexcept {
      return static_cast<std::size_t>(KeyedHash(key));
    }
  };
  std::unordered_map<std::string, std::size_t, Hash> ids_;
  std::vector<std::vector<std::string>> cells_;
  std::string key_;
};

// One list read: every designator with its row's key, and the rows without
// designators with theirs (the quantity cell apart, `bareKey`).
struct Side {
  PartsTableView view;
  std::string label;  // the list as messages name it (list_label)
  PartsColumns columns;
  std::vector<std::size_t> compared;  // this side's columns, in OLD's order
  std::vector<Designator> all;
  std::vector<std::size_t> keyOf;  // per designator
  struct Bare {
    std::size_t row, cellsKey, fullKey;
  };
  std::vector<Bare> bare;
  // Comparing parts: each designator's part (an id of its key cells), and
  // each row's part and quantity per board, in reading order.
  std::vector<std::size_t> partOf;
  struct PartRow {
    std::size_t part;
    std::uint64_t quantity;
  };
  std::vector<PartRow> partRows;

  std::size_t Width() const { return view.header.size(); }
  std::string_view Cell(std::size_t r, std::size_t c) const { return view.cells[r * Width() + c]; }
  std::size_t RowNumber(std::size_t r) const {
    return view.row_numbers.empty() ? r + 1 : view.row_numbers[r];
  }
};

// Reads a side's rows; `quantity`: whether the comparison carries one;
// `parts`: where to intern the parts' key cells, when comparing parts.
void ReadSide(Side& side, bool quantity, KeyTable& keys, KeyTable* parts = nullptr);

// A warning for each designator that a side holds more than once, in the
// order of their texts.
void WarnRepeated(const Side& side, std::vector<std::vector<std::size_t>>& repeated,
                  std::vector<PartsWarning>& warnings);

// One list with its columns chosen by `names` and named as list_label
// names it; PartsError naming the list for a column it lacks.
Side SideOf(const PartsTableView& view, const std::string& name, const PartsOptions& names,
            bool oldList);

// The columns each side compares, in OLD's order: columns of the same name
// paired in order (the same text first, then the same once blanks and case
// are set aside); notes for the columns that only one side has.
void ChooseCompared(Side& older, Side& newer, const PartsOptions& names, PartsDiff& diff);

}  // namespace ztxgrp::parts_detail
