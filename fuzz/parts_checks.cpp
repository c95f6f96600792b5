// The parts-list properties: nothing a user wrote is lost, invented or
// changed. Collapsing a table and expanding the result gives the same rows
// as expanding the table itself (as multisets, the quantity column aside).
// Comparing a table with itself finds no change; comparing it with the table
// one of whose compared cells was edited finds only changed designators
// (rows without any are matched by their cells), and as many in all.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "checks.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::fuzz {
namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t k = 0; k <= text.size(); ++k) {
    if (k == text.size() || text[k] == separator) {
      parts.emplace_back(text.substr(start, k - start));
      start = k + 1;
    }
  }
  return parts;
}

// The table's rows without the column `drop`, sorted.
std::vector<std::vector<std::string>> RowsWithout(const PartsTable& table, std::size_t drop) {
  std::vector<std::vector<std::string>> rows;
  for (auto row : table.rows) {
    if (drop < row.size()) row.erase(row.begin() + static_cast<std::ptrdiff_t>(drop));
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

struct Views {
  std::vector<std::string_view> cells;
  PartsTableView Of(const PartsTable& table) {
    cells.clear();
    for (const auto& row : table.rows) cells.insert(cells.end(), row.begin(), row.end());
    return {table.header, cells, {}, "row"};
  }
};

std::size_t Designators(const PartsDiff& diff, bool changedOnly) {
  std::size_t total = 0;
  for (const PartsChange& change : diff.changes)
    if (!changedOnly || change.kind != PartsChange::Kind::Unchanged)
      total += change.count.value_or(0);
  return total;
}

// `row` and `column` choose the cell that is edited.
std::string CheckDiff(const PartsTable& table, const PartsColumns& columns, std::size_t row,
                      std::size_t column) {
  PartsOptions names;
  names.unchanged = true;
  names.refs = table.header[columns.refs];
  if (columns.qty) names.qty = table.header[*columns.qty];
  names.join = columns.join;
  names.min_run = columns.min_run;
  // Columns whose name another column before them shares are not compared.
  if (find_column(table.header, *names.refs) != columns.refs) return "";
  if (columns.qty && find_column(table.header, *names.qty) != columns.qty) return "";
  // Parts named by the last column, where that is a column of its own.
  const std::size_t key = table.header.size() - 1;
  if (key != columns.refs && key != columns.qty &&
      find_column(table.header, table.header[key]) == key)
    names.parts = {table.header[key]};
  Views a, b;
  const PartsDiff same = diff_tables(a.Of(table), b.Of(table), names);
  if (same.differ()) return "a table compared with itself differs";
  if (!same.parts.empty()) return "a table compared with itself changes a part's quantity";
  if (table.rows.empty() || table.header.size() < 2) return "";
  row %= table.rows.size();
  column %= table.header.size();
  if (column == columns.refs || column == columns.qty ||
      find_column(table.header, table.header[column]) != column)
    return "";
  const std::optional<std::size_t> quantity = find_quantity_column(table.header);
  if (!columns.qty && quantity && *quantity == column) return "";
  PartsTable edited = table;
  edited.rows[row][column] += "*";
  const PartsDiff diff = diff_tables(a.Of(table), b.Of(edited), names);
  if (!diff.differ()) return "an edited cell went unnoticed";
  // Rows without designators are matched by their compared cells: an
  // edited one is removed and added.
  for (const PartsChange& change : diff.changes)
    if (change.count &&
        (change.kind == PartsChange::Kind::Added || change.kind == PartsChange::Kind::Removed))
      return "an edited cell added or removed designators";
  if (Designators(diff, false) != Designators(same, false))
    return "comparing with an edited table lost or invented designators";
  // No quantity cell changed: what one part lost, others gained.
  std::uint64_t before = 0, after = 0;
  for (const PartQuantity& part : diff.parts) {
    before += part.old_quantity;
    after += part.new_quantity;
  }
  if (before != after) return "the parts' quantities do not add up to the same total";
  if (!names.parts.empty() && column != key && !diff.parts.empty())
    return "a cell outside the part's key changed a part's quantity";
  return "";
}

}  // namespace

std::string CheckParts(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  // Byte 0: bit 0 a quantity column (column 1), bit 1 join ";" instead of
  // ", ", bit 2 min_run 3; the designators are in column 0. The rest: lines
  // at '\n', cells at '|', the first line the header.
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  PartsTable table;
  const std::vector<std::string> lines = Split(text, '\n');
  table.header = Split(lines[0], '|');
  for (std::size_t k = 1; k < lines.size(); ++k) {
    std::vector<std::string> row = Split(lines[k], '|');
    row.resize(table.header.size());
    table.rows.push_back(std::move(row));
  }
  PartsColumns columns;
  if (data[0] & 1) columns.qty = 1;
  if (data[0] & 2) columns.join = ';';  // a char: GCC 12 warns wrongly (-Wrestrict) on the literal
  if (data[0] & 4) columns.min_run = 3;

  PartsResult collapsed;
  PartsResult expanded;
  try {
    collapsed = collapse_rows(table, columns);
    expanded = expand_rows(table, columns);
  } catch (...) {
    return LayerFailure(std::current_exception());
  }
  // The collapsed table has its quantity where the table had it, or a new
  // one right after the designators.
  PartsColumns again = columns;
  again.qty = columns.qty ? *columns.qty : columns.refs + 1;
  PartsResult roundTrip;
  try {
    roundTrip = expand_rows(collapsed.table, again);
  } catch (const std::exception& error) {
    return std::string("expanding the collapsed table failed: ") + error.what();
  }
  const std::size_t qty = columns.qty ? *columns.qty : table.header.size();
  if (RowsWithout(roundTrip.table, *again.qty) != RowsWithout(expanded.table, qty))
    return "collapsing then expanding changed the rows";
  try {
    return CheckDiff(table, columns, size > 1 ? data[size - 1] : 0, data[0] >> 3);
  } catch (const std::exception& error) {
    return std::string("comparing a table that collapses failed: ") + error.what();
  }
}

}  // namespace ztxgrp::fuzz
