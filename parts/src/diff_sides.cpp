#include "diff_sides.hpp"

#include <algorithm>
#include <map>

#include "duplicates.hpp"
#include "parts_job.hpp"
#include "quantity.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::parts_detail {
namespace {

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

}  // namespace

namespace {

// A row's quantity per board for buying: its designators where the
// quantity is theirs (or empty), else the quantity cell's number (0 for
// DNP), a list for several boards divided by their number.
std::uint64_t PerBoard(std::size_t count, const Quantity& quantity, std::uint64_t boards) {
  if (quantity.kind == Quantity::None) return count == 0 ? 1 : count;
  if (quantity.kind == Quantity::Other) return 0;
  if (count != 0 && quantity.value == boards * count) return count;
  return quantity.value % boards == 0 ? quantity.value / boards : quantity.value;
}

}  // namespace

void ReadSide(Side& side, bool quantity, KeyTable& keys, KeyTable* parts) {
  if (side.view.cells.size() % std::max<std::size_t>(side.Width(), 1) != 0)
    throw PartsError("the cells do not fill whole rows");
  const std::size_t rows = side.Width() == 0 ? 0 : side.view.cells.size() / side.Width();
  if (!side.view.row_numbers.empty() && side.view.row_numbers.size() != rows)
    throw PartsError("the row numbers do not match the rows");
  parts_detail::DesignatorCellReader reader;
  const std::string_view join = side.columns.join;
  CheckUtf8(join);
  // Every row's designators first: how many boards the quantities are for
  // rests on all of them.
  std::vector<std::pair<std::size_t, Quantity>> counted(rows);
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
    counted[r] = {side.all.size() - before,
                  side.columns.qty ? ReadQuantity(side.Cell(r, *side.columns.qty)) : Quantity{}};
  }
  const std::uint64_t boards = BoardsOf(counted);
  side.keyOf.reserve(side.all.size());
  std::vector<std::string_view> cells;
  for (std::size_t r = 0; r < rows; ++r) {
    cells.clear();
    for (const std::size_t c : side.compared) cells.push_back(side.Cell(r, c));
    const std::string_view qtyCell = side.columns.qty ? side.Cell(r, *side.columns.qty) : "";
    const auto& [count, qty] = counted[r];
    if (parts) {
      std::vector<std::string_view> key;
      for (const std::size_t c : side.columns.parts) key.push_back(side.Cell(r, c));
      const std::size_t part = parts->Intern(key);
      side.partRows.push_back({part, PerBoard(count, qty, boards)});
      side.partOf.insert(side.partOf.end(), count, part);
    }
    if (count == 0) {
      const std::size_t cellsKey = keys.Intern(cells);
      if (quantity) cells.push_back(qtyCell);
      side.bare.push_back({r, cellsKey, keys.Intern(cells)});
      continue;
    }
    // Each designator counts once where the row's quantity is its
    // designators (for each board the list is for); any other quantity (DNP,
    // or 2 for one designator bought twice) is compared as written.
    if (quantity) {
      const bool each = qty.kind == Quantity::None ||
                        (qty.kind == Quantity::Whole && qty.value == boards * count);
      cells.push_back(each ? std::string_view("1") : qtyCell);
    }
    side.keyOf.insert(side.keyOf.end(), count, keys.Intern(cells));
  }
}

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

}  // namespace ztxgrp::parts_detail
