// Comparing two parts lists.
#include <algorithm>
#include <bit>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "designator_cell.hpp"
#include "duplicates.hpp"
#include "ordered.hpp"
#include "parts_job.hpp"
#include "quantity.hpp"
#include "ztxgrp/keyed_hash.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using parts_detail::Designator;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

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

  std::size_t Width() const { return view.header.size(); }
  std::string_view Cell(std::size_t r, std::size_t c) const { return view.cells[r * Width() + c]; }
  std::size_t RowNumber(std::size_t r) const {
    return view.row_numbers.empty() ? r + 1 : view.row_numbers[r];
  }
};

// Reads a side's rows; `quantity`: whether the comparison carries one.
void ReadSide(Side& side, bool quantity, KeyTable& keys) {
  if (side.view.cells.size() % std::max<std::size_t>(side.Width(), 1) != 0)
    throw PartsError("the cells do not fill whole rows");
  const std::size_t rows = side.Width() == 0 ? 0 : side.view.cells.size() / side.Width();
  if (!side.view.row_numbers.empty() && side.view.row_numbers.size() != rows)
    throw PartsError("the row numbers do not match the rows");
  parts_detail::DesignatorCellReader reader;
  const std::string_view join = side.columns.join;
  CheckUtf8(join);
  std::vector<std::string_view> cells;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::size_t before = side.all.size();
    const std::string_view refs = side.Cell(r, side.columns.refs);
    if (!IsAscii(refs)) CheckUtf8(refs);  // read as it is: it must be valid UTF-8
    try {
      reader.Read(refs, join, side.RowNumber(r), side.all);
    } catch (const RuntimeError& error) {
      throw RowError(error, side.RowNumber(r), side.view.row_noun, side.label);
    } catch (const PartsError& error) {
      throw PartsError(error.what(), error.row(), std::string(side.view.row_noun), side.label);
    }
    cells.clear();
    for (const std::size_t c : side.compared) cells.push_back(side.Cell(r, c));
    const std::string_view qtyCell = side.columns.qty ? side.Cell(r, *side.columns.qty) : "";
    if (side.all.size() == before) {
      const std::size_t cellsKey = keys.Intern(cells);
      if (quantity) cells.push_back(qtyCell);
      side.bare.push_back({r, cellsKey, keys.Intern(cells)});
      continue;
    }
    if (quantity) {
      const bool other = parts_detail::ReadQuantity(qtyCell).kind == parts_detail::Quantity::Other;
      cells.push_back(other ? qtyCell : std::string_view("1"));
    }
    side.keyOf.resize(side.all.size(), keys.Intern(cells));
  }
}

// A warning for each designator that a side holds more than once, in the
// order of their texts.
void WarnRepeated(const Side& side, std::vector<std::vector<std::size_t>>& repeated,
                  std::vector<PartsWarning>& warnings) {
  std::sort(repeated.begin(), repeated.end(), [&](const auto& a, const auto& b) {
    return Utf16OrderLess(side.all[a.front()].text, side.all[b.front()].text);
  });
  for (const std::vector<std::size_t>& indices : repeated) {
    std::vector<std::size_t> rows;
    for (const std::size_t k : indices) rows.push_back(side.all[k].row);
    std::string message = side.label + ": designator " + Quoted(side.all[indices.front()].text) +
                          " occurs " + std::to_string(rows.size()) + " times, in " +
                          parts_detail::RowList(side.view.row_noun, rows);
    warnings.push_back(
        {PartsWarning::Kind::DuplicateDesignator, std::move(message), std::move(rows)});
  }
}

// Pairs OLD's columns `olds` with NEW's `news` whose names have the same
// `key`: the n-th of a key in OLD with the n-th of it in NEW. Paired columns
// leave both lists. Linear in the columns (a map of NEW's by key).
template <typename Key>
void PairColumns(const Side& older, const Side& newer, std::vector<std::size_t>& olds,
                 std::vector<std::size_t>& news, Key key,
                 std::vector<std::pair<std::size_t, std::size_t>>& pairs) {
  std::map<std::string, std::vector<std::size_t>> byKey;  // positions in `news`, reversed
  for (std::size_t k = news.size(); k-- > 0;) byKey[key(newer.view.header[news[k]])].push_back(k);
  std::vector<bool> taken(news.size(), false);
  std::vector<std::size_t> oldLeft;
  for (const std::size_t o : olds) {
    const auto found = byKey.find(key(older.view.header[o]));
    if (found == byKey.end() || found->second.empty()) {
      oldLeft.push_back(o);
      continue;
    }
    taken[found->second.back()] = true;
    pairs.emplace_back(o, news[found->second.back()]);
    found->second.pop_back();
  }
  std::vector<std::size_t> newLeft;
  for (std::size_t k = 0; k < news.size(); ++k)
    if (!taken[k]) newLeft.push_back(news[k]);
  olds = std::move(oldLeft);
  news = std::move(newLeft);
}

// A name for each compared column that no other compared column has, so
// that JSON keys do not repeat and a table's reader can tell them apart:
// the header's own name where it is one of a kind, else the name and its
// column's number in OLD ("Note (column 4)"; "column 5" for an empty name).
std::vector<std::string> ColumnLabels(const Side& older, const std::vector<std::size_t>& compared,
                                      const std::vector<std::string>& reserved) {
  std::map<std::string, std::size_t> uses;
  for (const std::size_t c : compared) ++uses[older.view.header[c]];
  for (const std::string& name : reserved) ++uses[name];
  std::vector<std::string> labels;
  for (const std::size_t c : compared) {
    const std::string& name = older.view.header[c];
    if (!name.empty() && uses[name] == 1) {
      labels.push_back(name);
      continue;
    }
    const std::string where = "column " + std::to_string(c + 1);
    labels.push_back(name.empty() ? where : name + " (" + where + ")");
  }
  return labels;
}

// The columns each side compares, in OLD's order: columns of the same name
// paired in order (the same text first, then the same once blanks and case
// are set aside); notes for the columns that only one side has.
void ChooseCompared(Side& older, Side& newer, const PartsOptions& names, PartsDiff& diff) {
  const auto special = [](const Side& side, std::size_t c) {
    return c == side.columns.refs || c == side.columns.qty;
  };
  if (!names.by.empty()) {
    older.compared = older.columns.by;
    newer.compared = newer.columns.by;
  } else {
    std::vector<std::size_t> olds, news;
    for (std::size_t c = 0; c < older.Width(); ++c)
      if (!special(older, c)) olds.push_back(c);
    for (std::size_t c = 0; c < newer.Width(); ++c)
      if (!special(newer, c)) news.push_back(c);
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    PairColumns(
        older, newer, olds, news, [](const std::string& name) { return name; }, pairs);
    PairColumns(older, newer, olds, news, column_name_key, pairs);
    std::sort(pairs.begin(), pairs.end());
    for (const auto& [o, n] : pairs) {
      older.compared.push_back(o);
      newer.compared.push_back(n);
    }
    for (const std::size_t c : olds)
      diff.notes.push_back("column " + Quoted(older.view.header[c]) + " is only in " + older.label +
                           "; it is not compared");
    for (const std::size_t c : news)
      diff.notes.push_back("column " + Quoted(newer.view.header[c]) + " is only in " + newer.label +
                           "; it is not compared");
  }
  std::vector<std::string> reserved = {older.view.header[older.columns.refs]};
  if (diff.qty_name) reserved.push_back(*diff.qty_name);
  diff.columns = ColumnLabels(older, older.compared, reserved);
}

// A line of the comparison while it is gathered.
struct Line {
  PartsChange::Kind kind;
  std::size_t oldKey, newKey;
  std::vector<const Designator*> designators;
};

class Lines {
 public:
  // `unchanged`: whether lines of unchanged designators are kept.
  explicit Lines(bool unchanged) : unchanged_(unchanged) {}
  void Add(PartsChange::Kind kind, std::size_t oldKey, std::size_t newKey, const Designator* d) {
    if (kind == PartsChange::Kind::Unchanged && !unchanged_) return;
    const auto [found, added] = index_.try_emplace(Key{kind, oldKey, newKey}, lines_.size());
    if (added) lines_.push_back({kind, oldKey, newKey, {}});
    lines_[found->second].designators.push_back(d);
  }
  std::vector<Line>& All() { return lines_; }

 private:
  struct Key {
    PartsChange::Kind kind;
    std::size_t oldKey, newKey;
    bool operator==(const Key&) const = default;
  };
  // Ids of interned cells, numbered in reading order: no input chooses them.
  struct Hash {
    std::size_t operator()(const Key& key) const noexcept {
      return (key.oldKey * 0x9E3779B97F4A7C15ull) ^ (key.newKey * 0xC2B2AE3D27D4EB4Full) ^
             static_cast<std::size_t>(key.kind);
    }
  };
  bool unchanged_;
  std::unordered_map<Key, std::size_t, Hash> index_;
  std::vector<Line> lines_;
};

// One designator's occurrences on both sides paired: equal keys first, the
// rest in reading order as changed, what remains added or removed.
void MatchOccurrences(const Side& older, const Side& newer, const std::vector<std::size_t>& olds,
                      const std::vector<std::size_t>& news, Lines& lines) {
  if (olds.size() == 1 && news.size() == 1) {  // the usual case
    const std::size_t o = olds.front(), n = news.front();
    const bool same = older.keyOf[o] == newer.keyOf[n];
    lines.Add(same ? PartsChange::Kind::Unchanged : PartsChange::Kind::Changed, older.keyOf[o],
              newer.keyOf[n], &older.all[o]);
    return;
  }
  std::map<std::size_t, std::vector<std::size_t>> newByKey;  // unmatched, reading order reversed
  for (auto it = news.rbegin(); it != news.rend(); ++it) newByKey[newer.keyOf[*it]].push_back(*it);
  std::vector<std::size_t> oldLeft, newLeft;
  std::vector<std::size_t> taken;
  for (const std::size_t k : olds) {
    auto found = newByKey.find(older.keyOf[k]);
    if (found == newByKey.end() || found->second.empty()) {
      oldLeft.push_back(k);
      continue;
    }
    taken.push_back(found->second.back());
    found->second.pop_back();
    lines.Add(PartsChange::Kind::Unchanged, older.keyOf[k], older.keyOf[k], &older.all[k]);
  }
  std::sort(taken.begin(), taken.end());
  for (const std::size_t k : news)
    if (!std::binary_search(taken.begin(), taken.end(), k)) newLeft.push_back(k);
  const std::size_t pairs = std::min(oldLeft.size(), newLeft.size());
  for (std::size_t i = 0; i < pairs; ++i)
    lines.Add(PartsChange::Kind::Changed, older.keyOf[oldLeft[i]], newer.keyOf[newLeft[i]],
              &older.all[oldLeft[i]]);
  for (std::size_t i = pairs; i < oldLeft.size(); ++i)
    lines.Add(PartsChange::Kind::Removed, older.keyOf[oldLeft[i]], kNone, &older.all[oldLeft[i]]);
  for (std::size_t i = pairs; i < newLeft.size(); ++i)
    lines.Add(PartsChange::Kind::Added, kNone, newer.keyOf[newLeft[i]], &newer.all[newLeft[i]]);
}

// Every designator matched with itself in the other list. Texts are found
// alike by sorting keyed hashes of them (no list can be made to collide),
// and only within runs of equal hashes are texts compared.
// Also gathers the designators that one list holds more than once
// (`repeated`: indices into each side's designators, per side).
void MatchDesignators(const Side& older, const Side& newer, Lines& lines,
                      std::vector<std::vector<std::size_t>> (&repeated)[2]) {
  const std::size_t oldCount = older.all.size(), n = oldCount + newer.all.size();
  auto text = [&](std::size_t i) -> std::string_view {
    return i < oldCount ? older.all[i].text : newer.all[i - oldCount].text;
  };
  const int indexBits = std::max(1, static_cast<int>(std::bit_width(n)));
  const std::uint64_t indexMask = (std::uint64_t{1} << indexBits) - 1;
  std::vector<std::uint64_t> keys(n);
  for (std::size_t i = 0; i < n; ++i) keys[i] = (KeyedHash(text(i)) & ~indexMask) | i;
  parts_detail::SortKeys(keys);
  std::vector<std::size_t> run, olds, news;
  for (std::size_t begin = 0, end = 0; begin < n; begin = end) {
    for (end = begin + 1; end < n && ((keys[end] ^ keys[begin]) & ~indexMask) == 0;) ++end;
    const std::size_t first = keys[begin] & indexMask;
    // The usual runs: a designator in one list only, or once in each.
    if (end - begin == 1) {
      if (first < oldCount)
        lines.Add(PartsChange::Kind::Removed, older.keyOf[first], kNone, &older.all[first]);
      else
        lines.Add(PartsChange::Kind::Added, kNone, newer.keyOf[first - oldCount],
                  &newer.all[first - oldCount]);
      continue;
    }
    const std::size_t second = keys[begin + 1] & indexMask;
    if (end - begin == 2 && first < oldCount && second >= oldCount && text(first) == text(second)) {
      olds.assign(1, first);
      news.assign(1, second - oldCount);
      MatchOccurrences(older, newer, olds, news, lines);
      continue;
    }
    run.clear();
    for (std::size_t k = begin; k < end; ++k) run.push_back(keys[k] & indexMask);
    std::stable_sort(run.begin(), run.end(), [&](std::size_t a, std::size_t b) {
      return Utf16OrderLess(text(a), text(b));
    });
    for (std::size_t from = 0, to = 0; from < run.size(); from = to) {
      olds.clear();
      news.clear();
      for (to = from; to < run.size() && text(run[to]) == text(run[from]); ++to) {
        if (run[to] < oldCount)
          olds.push_back(run[to]);
        else
          news.push_back(run[to] - oldCount);
      }
      if (olds.size() > 1) repeated[0].push_back(olds);
      if (news.size() > 1) repeated[1].push_back(news);
      if (news.empty()) {
        for (const std::size_t k : olds)
          lines.Add(PartsChange::Kind::Removed, older.keyOf[k], kNone, &older.all[k]);
      } else if (olds.empty()) {
        for (const std::size_t k : news)
          lines.Add(PartsChange::Kind::Added, kNone, newer.keyOf[k], &newer.all[k]);
      } else {
        MatchOccurrences(older, newer, olds, news, lines);
      }
    }
  }
}

// Rows without designators, matched by their compared cells: equal with
// their quantity first, then equal cells (the quantity changed).
void MatchBareRows(const Side& older, const Side& newer, std::vector<PartsChange>& bare,
                   const KeyTable& keys) {
  std::vector<bool> newTaken(newer.bare.size(), false);
  std::vector<const Side::Bare*> oldLeft;
  auto line = [&](PartsChange::Kind kind, const Side::Bare* o, const Side::Bare* n) {
    PartsChange change;
    change.kind = kind;
    if (o) change.old_cells = keys.Cells(o->fullKey);
    if (n) change.new_cells = keys.Cells(n->fullKey);
    bare.push_back(std::move(change));
  };
  // Matching by a map of unmatched rows per key keeps this linear.
  std::map<std::size_t, std::vector<std::size_t>> byFull, byCells;
  for (std::size_t n = newer.bare.size(); n-- > 0;) {
    byFull[newer.bare[n].fullKey].push_back(n);
    byCells[newer.bare[n].cellsKey].push_back(n);
  }
  auto pop = [&](std::vector<std::size_t>& queue) -> const Side::Bare* {
    while (!queue.empty() && newTaken[queue.back()]) queue.pop_back();
    if (queue.empty()) return nullptr;
    newTaken[queue.back()] = true;
    return &newer.bare[queue.back()];
  };
  for (const Side::Bare& o : older.bare) {
    if (const Side::Bare* n = pop(byFull[o.fullKey]))
      line(PartsChange::Kind::Unchanged, &o, n);
    else
      oldLeft.push_back(&o);
  }
  for (const Side::Bare* o : oldLeft) {
    if (const Side::Bare* n = pop(byCells[o->cellsKey]))
      line(PartsChange::Kind::Changed, o, n);
    else
      line(PartsChange::Kind::Removed, o, nullptr);
  }
  for (std::size_t n = 0; n < newer.bare.size(); ++n)
    if (!newTaken[n]) line(PartsChange::Kind::Added, nullptr, &newer.bare[n]);
}

Side SideOf(const PartsTableView& view, const std::string& name, const PartsOptions& names,
            bool oldList) {
  Side side;
  side.view = view;
  side.label = list_label(name, oldList);
  try {
    side.columns = choose_columns(view.header, names);
  } catch (const PartsError& error) {
    throw PartsError(error.what(), 0, "row", side.label);
  }
  return side;
}

PartsDiff Diff(const PartsTableView& oldTable, const PartsTableView& newTable,
               const PartsOptions& names, const PartsDiffNames& tables) {
  check_parts_options(names);
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
  return WithMemoryErrorsNumbered([&] { return Diff(old_table, new_table, options, tables); });
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
