#include "parts_job.hpp"

#include <map>

#include "duplicates.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::parts_detail {

std::string RowList(std::string_view noun, const std::vector<std::size_t>& rows) {
  std::string text = std::string(noun) + (rows.size() > 1 ? "s " : " ");
  for (std::size_t k = 0; k < rows.size(); ++k)
    text += (k == 0 ? "" : ", ") + std::to_string(rows[k]);
  return text;
}

Job::Job(const PartsTableView& view, const PartsColumns& columns, bool collapse,
         const PartsTable* owner)
    : table_(view), columns_(columns), join_(columns.join) {
  CheckMinRun(columns.min_run);
  width_ = view.header.size();
  if (columns.refs >= width_) throw PartsError("the designator column is not in the header");
  if (columns.qty && *columns.qty >= width_)
    throw PartsError("the quantity column is not in the header");
  if (columns.qty == columns.refs)
    throw PartsError("the quantity column " + Quoted(view.header[columns.refs]) +
                     " is the designator column");
  for (const std::size_t key : columns.by) {
    if (key >= width_) throw PartsError("a key column is not in the header");
    if (key == columns.refs || key == columns.qty)
      throw PartsError("the key column " + Quoted(view.header[key]) +
                       " holds designators or quantities");
  }
  check_join(join_);
  if (owner) {
    rows_ = owner->rows.size();
  } else {
    if (view.cells.size() % width_ != 0)
      throw PartsError("the cells do not fill whole rows: " + std::to_string(view.cells.size()) +
                       " cells, " + std::to_string(width_) + " columns");
    rows_ = view.cells.size() / width_;
  }
  if (!view.row_numbers.empty() && view.row_numbers.size() != rows_)
    throw PartsError("the row numbers do not match the rows");
  if (owner) {
    for (std::size_t r = 0; r < rows_; ++r)
      if (owner->rows[r].size() != width_)
        throw PartsError("the " + std::string(view.row_noun) + " has " +
                             std::to_string(owner->rows[r].size()) + " cells; the header has " +
                             std::to_string(width_),
                         RowNumber(r), std::string(view.row_noun));
    ownerCells_.reserve(rows_ * width_);
    for (const std::vector<std::string>& row : owner->rows)
      ownerCells_.insert(ownerCells_.end(), row.begin(), row.end());
    table_.cells = ownerCells_;
  }
  result_.table.row_noun = view.row_noun;
  result_.table.header.assign(view.header.begin(), view.header.end());
  addQty_ = collapse && !columns.qty;
  if (addQty_)
    result_.table.header.insert(
        result_.table.header.begin() + static_cast<std::ptrdiff_t>(columns.refs + 1),
        columns.new_qty);
}

std::size_t Job::Read(std::size_t r, std::vector<Designator>& out) {
  const std::string_view cell = Cell(r, columns_.refs);
  if (!IsAscii(cell)) CheckUtf8(cell);  // read as it is: it must be valid UTF-8
  const std::size_t before = out.size();
  try {
    reader_.Read(cell, join_, RowNumber(r), out);
  } catch (const RuntimeError& error) {
    throw RowError(error, RowNumber(r), Noun());
  } catch (const PartsError& error) {
    throw PartsError(error.what(), error.row(), std::string(Noun()));
  }
  return out.size() - before;
}

Quantity Job::QuantityOf(std::size_t r) const {
  return columns_.qty ? ReadQuantity(Cell(r, *columns_.qty)) : Quantity{};
}

std::uint64_t Job::Boards(std::span<const std::pair<std::size_t, Quantity>> rows, bool collapse) {
  const std::uint64_t boards = BoardsOf(rows);
  if (boards == 1) return 1;
  const std::string k = std::to_string(boards);
  Note("the quantities are for " + k + " boards (" + k + " times the designators on most rows): " +
       (collapse ? "each part's quantity is " + k + " times its designators"
                 : "each designator's row has the quantity " + k));
  return boards;
}

bool Job::CheckQuantity(std::size_t r, std::size_t count, const Quantity& quantity,
                        std::uint64_t boards) {
  if (!columns_.qty) return true;
  const std::string_view cell = Cell(r, *columns_.qty);
  const std::size_t row = RowNumber(r);
  if (quantity.kind == Quantity::Other) {
    Warn(PartsWarning::Kind::QuantityNotWhole,
         std::string(Noun()) + " " + std::to_string(row) + ": the quantity " + Quoted(cell) +
             " is no whole number; the row is kept apart with its quantity",
         {row});
    return false;
  }
  if (quantity.kind != Quantity::Whole || quantity.value == boards * count) return true;
  // Any other row keeps the rule of a list for one board: its quantity is
  // its designators' number, and a quantity that differs is warned about.
  if (quantity.value != count)
    Warn(PartsWarning::Kind::QuantityMismatch,
         std::string(Noun()) + " " + std::to_string(row) + ": the quantity " + Quoted(cell) +
             " differs from the number of designators, " + std::to_string(count),
         {row});
  return false;
}

void Job::Add(std::size_t r, std::optional<std::string> refs, std::optional<std::string> qty) {
  std::vector<std::string> cells;
  cells.reserve(width_ + (addQty_ ? 1 : 0));
  for (std::size_t k = 0; k < width_; ++k) {
    if (k == columns_.refs && refs)
      cells.push_back(std::move(*refs));
    else if (!addQty_ && k == columns_.qty && qty)
      cells.push_back(std::move(*qty));
    else
      cells.emplace_back(Cell(r, k));
    if (addQty_ && k == columns_.refs) cells.push_back(qty.value_or(std::string()));
  }
  result_.table.rows.push_back(std::move(cells));
  result_.table.row_numbers.push_back(RowNumber(r));
}

PartsResult Job::Finish(std::span<const Designator> all) && {
  for (const std::vector<std::size_t>& indices : RepeatedDesignators(all)) {
    std::vector<std::size_t> rows;
    for (const std::size_t k : indices) rows.push_back(all[k].row);
    std::string message = "designator " + Quoted(all[indices.front()].text) + " occurs " +
                          std::to_string(rows.size()) + " times, in " + RowList(Noun(), rows);
    Warn(PartsWarning::Kind::DuplicateDesignator, std::move(message), std::move(rows));
  }
  return std::move(result_);
}

}  // namespace ztxgrp::parts_detail
