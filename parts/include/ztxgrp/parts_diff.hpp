// Comparing two parts lists: which designators were added, removed or
// changed between an old and a new list, each change written with its
// designators grouped as `ztxgrp bom` groups them.
//
// Every designator of a designator cell is one placement carrying its row's
// compared cells and a quantity: 1 on a row whose quantity is its
// designators' number (times the boards the list is made for, as collapsing
// finds them), or empty, or in a table without a quantity column; else the
// quantity cell as written (DNP; 2 for one designator bought twice).
// Designators are matched by their text exactly as
// written; occurrences of one designator are compared as a multiset (equal
// cells pair up first, the rest in reading order). Rows without designators
// are matched by their compared cells, their quantity cells compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ztxgrp/parts_list.hpp"

namespace ztxgrp {

struct PartsChange {
  // Moved: comparing parts, a designator whose part (its key cells) differs.
  enum class Kind { Added, Removed, Changed, Unchanged, Moved };
  Kind kind = Kind::Unchanged;
  std::string designators;           // grouped and joined; empty for a row without designators
  std::optional<std::size_t> count;  // the designators on the line; none for such a row
  // The compared cells, then the quantity when the comparison has a quantity
  // column; none for the side that a line does not have.
  std::optional<std::vector<std::string>> old_cells, new_cells;
};

// Comparing parts: one part whose quantity differs between the lists.
struct PartQuantity {
  enum class Kind { Added, Removed, Changed };  // a part new, gone, or its quantity changed
  Kind kind = Kind::Changed;
  std::vector<std::string> key;  // the part's key cells
  // Per board (a list for k boards divided by k), times the boards built.
  std::uint64_t old_quantity = 0, new_quantity = 0;
  // The designators that joined the part and those that left it, grouped;
  // and how many.
  std::string added, removed;
  std::size_t added_count = 0, removed_count = 0;
};

struct PartsDiff {
  std::vector<std::string> columns;     // the compared columns, by OLD's names, in OLD's order
  std::string refs_name;                // OLD's designator column
  std::optional<std::string> qty_name;  // OLD's quantity column, else NEW's, if either has one
  std::vector<PartsChange> changes;     // by first designator; lines without designators last
  std::vector<PartsWarning> warnings;   // designators in more than one place
  std::vector<std::string> notes;       // columns in one table only
  // Comparing parts (options.parts): the key columns by OLD's names, and
  // the parts whose quantity changed, in order of first appearance (OLD's
  // rows, then NEW's).
  std::vector<std::string> part_columns;
  std::vector<PartQuantity> parts;
  bool differ() const noexcept;
};

// How messages name the two tables ("old.csv"; empty: "the old list").
struct PartsDiffNames {
  std::string old_name, new_name;
};

// Compares `old_table` with `new_table`. `options` as for collapsing (refs,
// qty, by, join, min_run; a `by` column must be in both tables); lines of
// unchanged designators only with `options.unchanged`. Messages name each
// table as `tables` says and its rows by its `row_noun`. Errors: PartsError
// (the options, a column, a cell), RowError (a designator the engine
// refuses, with the table and row).
PartsDiff diff_tables(const PartsTableView& old_table, const PartsTableView& new_table,
                      const PartsOptions& options, const PartsDiffNames& tables = {});

// The changes as a table: Change, the designator column (OLD's name), Count,
// then "C (old)" and "C (new)" for each compared column C and for the
// quantity; a side that a line does not have is empty.
PartsTable diff_table(const PartsDiff& diff);

// The changes as people read them: one line per change ("changed R5 (1):
// "Value" "10k" -> "4k7""), then a summary ("1 changed (1 designator)", or
// "the lists agree"); each line ends with a line feed.
std::string diff_text(const PartsDiff& diff);

// The changes as one JSON document and a line feed: the compared columns,
// the changes (change, designators, count, old and new cells by column),
// the warnings' messages and the notes.
std::string diff_json(const PartsDiff& diff);

// The changes as one self-contained HTML page (no script, and nothing
// fetched from anywhere): the lists' names, the summary, the notes and
// warnings, the table of changes (diff_table's cells) and, comparing
// parts, the parts table, each kind of change in its colour and with a
// sign, every cell escaped.
std::string diff_html(const PartsDiff& diff, const PartsDiffNames& names = {});

// Word for a kind: "added", "removed", "changed", "unchanged", "moved".
const char* change_name(PartsChange::Kind kind) noexcept;

// Word for a part's kind: "added part", "removed part", "quantity changed".
const char* part_change_name(PartQuantity::Kind kind) noexcept;

// The parts table (empty without parts): Change, the key columns,
// "Quantity (old)", "Quantity (new)", Difference (+2, -1), "Designators
// added", "Designators removed".
PartsTable diff_parts_table(const PartsDiff& diff);

// A quantity's change as written: "+2", "-1", "0".
std::string quantity_difference(std::uint64_t before, std::uint64_t after);

// The largest quantity a part may reach: what a workbook's number keeps
// exactly (2^53).
inline constexpr std::uint64_t kLargestQuantity = std::uint64_t{1} << 53;

}  // namespace ztxgrp
