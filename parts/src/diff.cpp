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

// Designators joined as one cell of grouped entries: a part's designators
// may be more than the engine groups at once, so pieces of that many, in
// the engine's order, are joined.
std::string Grouped(std::vector<const Designator*> designators, parts_detail::Ordered& ordered,
                    const PartsOptions& names) {
  constexpr auto kPiece = static_cast<std::size_t>(kMaxItems);
  if (designators.size() > kPiece) parts_detail::InEngineOrder(designators);
  std::string text;
  for (std::size_t from = 0; from < designators.size(); from += kPiece) {
    const std::size_t count = std::min(kPiece, designators.size() - from);
    const auto piece = std::span<const Designator* const>(designators).subspan(from, count);
    if (!text.empty()) text += names.join;
    text += ordered.Join(piece, names.min_run, names.join).text;
  }
  return text;
}

// `a` + `b`, or PartsError when the sum is past the largest quantity.
std::uint64_t Sum(std::uint64_t a, std::uint64_t b) {
  std::uint64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum) || sum > kLargestQuantity)
    throw PartsError("a part's quantity is past " + std::to_string(kLargestQuantity));
  return sum;
}

// The parts whose quantity differs, with the designators that joined and
// left each, in order of first appearance.
std::vector<PartQuantity> PartQuantities(const Side& older, const Side& newer, const Lines& lines,
                                         const KeyTable& partKeys, const PartsOptions& names,
                                         parts_detail::Ordered& ordered) {
  struct Totals {
    std::uint64_t before = 0, after = 0;
    bool inOld = false, inNew = false;
    std::vector<const Designator*> joined, left;
  };
  std::vector<std::size_t> order;
  std::unordered_map<std::size_t, Totals> totals;
  const auto at = [&](std::size_t part) -> Totals& {
    const auto [found, added] = totals.try_emplace(part);
    if (added) order.push_back(part);
    return found->second;
  };
  for (const Side::PartRow& row : older.partRows) {
    Totals& t = at(row.part);
    t.before = Sum(t.before, row.quantity);
    t.inOld = true;
  }
  for (const Side::PartRow& row : newer.partRows) {
    Totals& t = at(row.part);
    t.after = Sum(t.after, row.quantity);
    t.inNew = true;
  }
  for (const parts_detail::PartMove& move : lines.Left())
    at(move.part).left.push_back(move.designator);
  for (const parts_detail::PartMove& move : lines.Joined())
    at(move.part).joined.push_back(move.designator);
  const auto built = [&](std::uint64_t perBoard) {
    std::uint64_t total = 0;
    if (__builtin_mul_overflow(perBoard, names.boards, &total) || total > kLargestQuantity)
      throw PartsError("a part's quantity for " + std::to_string(names.boards) +
                       " boards is past " + std::to_string(kLargestQuantity));
    return total;
  };
  std::vector<PartQuantity> parts;
  for (const std::size_t part : order) {
    Totals& t = totals.at(part);
    if (t.before == t.after && t.inOld == t.inNew) continue;
    PartQuantity line;
    line.kind = !t.inOld   ? PartQuantity::Kind::Added
                : !t.inNew ? PartQuantity::Kind::Removed
                           : PartQuantity::Kind::Changed;
    line.key = partKeys.Cells(part);
    line.old_quantity = built(t.before);
    line.new_quantity = built(t.after);
    line.added_count = t.joined.size();
    line.removed_count = t.left.size();
    line.added = Grouped(std::move(t.joined), ordered, names);
    line.removed = Grouped(std::move(t.left), ordered, names);
    parts.push_back(std::move(line));
  }
  return parts;
}

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
  const bool parts = !names.parts.empty();
  KeyTable partKeys;
  ReadSide(older, diff.qty_name.has_value(), keys, parts ? &partKeys : nullptr);
  ReadSide(newer, diff.qty_name.has_value(), keys, parts ? &partKeys : nullptr);
  Lines lines(unchanged);
  if (parts) lines.TrackParts(older, newer);
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
  if (parts) {
    for (const std::size_t c : older.columns.parts)
      diff.part_columns.push_back(older.view.header[c]);
    diff.parts = PartQuantities(older, newer, lines, partKeys, names, ordered);
  }
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
    case PartsChange::Kind::Moved:
      return "moved";
    case PartsChange::Kind::Unchanged:
      break;
  }
  return "unchanged";
}

const char* part_change_name(PartQuantity::Kind kind) noexcept {
  switch (kind) {
    case PartQuantity::Kind::Added:
      return "added part";
    case PartQuantity::Kind::Removed:
      return "removed part";
    case PartQuantity::Kind::Changed:
      break;
  }
  return "quantity changed";
}

std::string quantity_difference(std::uint64_t before, std::uint64_t after) {
  if (after > before) return "+" + std::to_string(after - before);
  if (before > after) return "-" + std::to_string(before - after);
  return "0";
}

PartsTable diff_parts_table(const PartsDiff& diff) {
  PartsTable table;
  if (diff.part_columns.empty()) return table;
  table.header = {"Change"};
  table.header.insert(table.header.end(), diff.part_columns.begin(), diff.part_columns.end());
  for (const char* name : {"Quantity (old)", "Quantity (new)", "Difference", "Designators added",
                           "Designators removed"})
    table.header.emplace_back(name);
  for (const PartQuantity& part : diff.parts) {
    std::vector<std::string> row = {part_change_name(part.kind)};
    row.insert(row.end(), part.key.begin(), part.key.end());
    row.push_back(std::to_string(part.old_quantity));
    row.push_back(std::to_string(part.new_quantity));
    row.push_back(quantity_difference(part.old_quantity, part.new_quantity));
    row.push_back(part.added);
    row.push_back(part.removed);
    table.rows.push_back(std::move(row));
  }
  return table;
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
