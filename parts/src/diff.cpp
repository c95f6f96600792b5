// Comparing two parts lists: both read, matched, and the lines of changes
// ordered by their first designator as the engine orders designators.
#include <algorithm>
#include <tuple>
#include <utility>

#include "compared_tables.hpp"
#include "diff_match.hpp"
#include "diff_sides.hpp"
#include "ordered.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using parts_detail::ChooseCompared;
using parts_detail::Designator;
using parts_detail::KeyTable;
using parts_detail::kNone;
using parts_detail::Line;
using parts_detail::Lines;
using parts_detail::MatchBareRows;
using parts_detail::MatchDesignators;
using parts_detail::ReadSide;
using parts_detail::Side;
using parts_detail::SideOf;
using parts_detail::WarnRepeated;

PartsDiff Diff(const PartsTableView& oldTable, const PartsTableView& newTable,
               const PartsOptions& names, const PartsDiffNames& tables) {
  const bool unchanged = names.unchanged;
  // A list of no rows and no columns (an empty list of rows) is read as a
  // table with the other's columns and no rows.
  const auto orEmpty = [](const PartsTableView& table, const PartsTableView& other) {
    if (!table.header.empty() || !table.cells.empty()) return table;
    return PartsTableView{other.header, {}, {}, table.row_noun};
  };
  if (orEmpty(oldTable, newTable).header.empty()) return PartsDiff();  // two empty lists agree
  Side older = SideOf(orEmpty(oldTable, newTable), tables.old_name, names, true);
  Side newer = SideOf(orEmpty(newTable, oldTable), tables.new_name, names, false);
  PartsDiff diff;
  diff.refs_name = older.view.header[older.columns.refs];
  if (older.columns.qty)
    diff.qty_name = older.view.header[*older.columns.qty];
  else if (newer.columns.qty)
    diff.qty_name = newer.view.header[*newer.columns.qty];
  ChooseCompared(older, newer, names, diff);
  KeyTable keys;
  ReadSide(older, diff.qty_name.has_value(), keys);
  ReadSide(newer, diff.qty_name.has_value(), keys);
  Lines lines(unchanged);
  std::vector<std::vector<std::size_t>> repeated[2];
  MatchDesignators(older, newer, lines, repeated);
  WarnRepeated(older, repeated[0], diff.warnings);
  WarnRepeated(newer, repeated[1], diff.warnings);
  struct Placed {
    PartsChange change;
    std::string prefix;
    std::int16_t first;
    std::size_t oldKey, newKey;
  };
  std::vector<Placed> placed;
  parts_detail::Ordered ordered;
  for (Line& line : lines.All()) {
    if (line.kind == PartsChange::Kind::Unchanged && !unchanged) continue;
    // A line holds any number of designators; the engine groups at most
    // kMaxItems at once, so a longer line is written in pieces of that
    // many, taken in the engine's order.
    constexpr auto kPiece = static_cast<std::size_t>(kMaxItems);
    if (line.designators.size() > kPiece) parts_detail::InEngineOrder(line.designators);
    for (std::size_t from = 0; from < line.designators.size(); from += kPiece) {
      const std::size_t count = std::min(kPiece, line.designators.size() - from);
      const auto piece = std::span<const Designator* const>(line.designators).subspan(from, count);
      parts_detail::Ordered::JoinedCell cell;
      try {
        cell = ordered.Join(piece, names.min_run, names.join);
      } catch (const RuntimeError& error) {
        const Side& side = line.kind == PartsChange::Kind::Added ? newer : older;
        throw RowError(error, piece.front()->row, side.view.row_noun, side.label);
      }
      PartsChange change;
      change.kind = line.kind;
      change.designators = std::move(cell.text);
      change.count = count;
      if (line.oldKey != kNone) change.old_cells = keys.Cells(line.oldKey);
      if (line.newKey != kNone) change.new_cells = keys.Cells(line.newKey);
      placed.push_back(
          {std::move(change), std::move(cell.prefix), cell.first, line.oldKey, line.newKey});
    }
  }
  // By first designator in the engine's order; lines that start alike (a
  // designator removed and re-used) by kind and cells, so that the order
  // does not depend on how lines were found.
  std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    if (a.prefix != b.prefix) return Utf16OrderLess(a.prefix, b.prefix);
    return std::make_tuple(a.first, a.change.kind, a.oldKey, a.newKey) <
           std::make_tuple(b.first, b.change.kind, b.oldKey, b.newKey);
  });
  for (Placed& p : placed) diff.changes.push_back(std::move(p.change));
  std::vector<PartsChange> bare;
  MatchBareRows(older, newer, bare, keys);
  for (PartsChange& change : bare)
    if (change.kind != PartsChange::Kind::Unchanged || unchanged)
      diff.changes.push_back(std::move(change));
  return diff;
}

}  // namespace

std::string list_label(std::string_view name, bool old_list) {
  if (name.empty()) return old_list ? "the old list" : "the new list";
  return Quoted(name);
}

bool PartsDiff::differ() const noexcept {
  return std::any_of(changes.begin(), changes.end(), [](const PartsChange& change) {
    return change.kind != PartsChange::Kind::Unchanged;
  });
}

const char* change_name(PartsChange::Kind kind) noexcept {
  switch (kind) {
    case PartsChange::Kind::Added:
      return "added";
    case PartsChange::Kind::Removed:
      return "removed";
    case PartsChange::Kind::Changed:
      return "changed";
    case PartsChange::Kind::Unchanged:
      break;
  }
  return "unchanged";
}

PartsDiff diff_tables(const PartsTableView& old_table, const PartsTableView& new_table,
                      const PartsOptions& options, const PartsDiffNames& tables) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    return Diff(old_table, new_table, options, tables);
  });
}

PartsDiff parts_detail::CompareTables(const PartsTableView& old_table,
                                      const PartsTableView& new_table, const PartsOptions& options,
                                      const PartsDiffNames& tables) {
  return Diff(old_table, new_table, options, tables);
}

PartsTable diff_table(const PartsDiff& diff) {
  PartsTable table;
  table.header = {"Change", diff.refs_name, "Count"};
  std::vector<std::string> compared = diff.columns;
  if (diff.qty_name) compared.push_back(*diff.qty_name);
  for (const std::string& name : compared) {
    table.header.push_back(name + " (old)");
    table.header.push_back(name + " (new)");
  }
  for (const PartsChange& change : diff.changes) {
    std::vector<std::string> row = {change_name(change.kind), change.designators,
                                    change.count ? std::to_string(*change.count) : std::string()};
    for (std::size_t k = 0; k < compared.size(); ++k) {
      row.push_back(change.old_cells ? (*change.old_cells)[k] : std::string());
      row.push_back(change.new_cells ? (*change.new_cells)[k] : std::string());
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace ztxgrp
