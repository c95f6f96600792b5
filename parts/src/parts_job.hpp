// The work that collapsing and expanding a parts list share: the table and
// its columns checked, each row's designators and quantity read, result rows
// added, warnings gathered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "designator_cell.hpp"
#include "quantity.hpp"
#include "ztxgrp/parts_list.hpp"

namespace ztxgrp::parts_detail {

// "line 3" or "lines 2, 3, 6", for messages.
std::string RowList(std::string_view noun, const std::vector<std::size_t>& rows);

// A table of strings read through views of its cells (the job keeps them).
inline PartsTableView ViewOf(const PartsTable& table) {
  return {table.header, {}, table.row_numbers, table.row_noun};
}

// The work shared by collapsing and expanding: the table checked, rows read.
// A table given as strings (`owner`) is read through views of its cells.
class Job {
 public:
  // Checks the table and the columns (PartsError), and starts the result:
  // the header, with a quantity column added when collapsing needs one.
  Job(const PartsTableView& view, const PartsColumns& columns, bool collapse,
      const PartsTable* owner);

  std::size_t Rows() const noexcept { return rows_; }
  std::size_t Width() const noexcept { return width_; }
  std::string_view Cell(std::size_t r, std::size_t column) const noexcept {
    return table_.cells[r * width_ + column];
  }
  std::span<const std::string> Header() const noexcept { return table_.header; }
  std::string_view Noun() const noexcept { return table_.row_noun; }

  std::size_t RowNumber(std::size_t r) const {
    return table_.row_numbers.empty() ? r + 1 : table_.row_numbers[r];
  }

  // The designators of row `r`, appended to `out`; their number. The
  // engine's errors become RowErrors naming the row.
  std::size_t Read(std::size_t r, std::vector<Designator>& out);

  // The row's quantity cell, read.
  Quantity QuantityOf(std::size_t r) const;

  // The number of boards the list is for: the multiple k > 1 of their
  // designator counts that the quantities of most rows are (`rows`: each
  // row's designator count and quantity), with a note saying so; 1 when
  // no such k is shared by most rows. `collapse` words the note.
  std::uint64_t Boards(std::span<const std::pair<std::size_t, Quantity>> rows, bool collapse);

  // Whether the row's quantity is `boards` times its `count` designators
  // (or empty, or there is no quantity column). Else a warning for a
  // quantity that is no whole number, or one that differs from `count`
  // (the rule of a list for one board, which such a row keeps).
  bool CheckQuantity(std::size_t r, std::size_t count, const Quantity& quantity,
                     std::uint64_t boards);

  // Row `r` with its designator cell and quantity replaced; `qty` none
  // keeps the quantity cell (or leaves an added one empty).
  void Add(std::size_t r, std::optional<std::string> refs, std::optional<std::string> qty);

  void Note(std::string message) { result_.notes.push_back(std::move(message)); }

  void Warn(PartsWarning::Kind kind, std::string message, std::vector<std::size_t> rows) {
    result_.warnings.push_back({kind, std::move(message), std::move(rows)});
  }

  // The result, with a warning for each designator in more than one place:
  // `all` holds every designator read, in reading order.
  PartsResult Finish(std::span<const Designator> all) &&;
  // The result as it stands, without looking for repeated designators.
  PartsResult Result() && { return std::move(result_); }

 private:
  PartsTableView table_;
  std::vector<std::string_view> ownerCells_;
  std::size_t width_ = 0;
  std::size_t rows_ = 0;
  const PartsColumns& columns_;
  const std::string join_;
  bool addQty_ = false;
  PartsResult result_;
  parts_detail::DesignatorCellReader reader_;
};

}  // namespace ztxgrp::parts_detail
