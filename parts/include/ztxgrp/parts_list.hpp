// Parts lists: rows collapsed to one row per part, with the designators
// grouped and counted, or expanded to one row per designator.
//
// A table is a header and rows of UTF-8 cells; reading and writing a file
// format (CSV, spreadsheet rows, Python dicts) is the front end's job.
//
// What users wrote is kept: a designator is written back exactly as it came.
// Only a designator that the engine writes back as the very same text joins
// a range; any other (R001, U1.1, R+5, Half-Bridge_DO1301) is kept whole,
// never folded, placed where the engine's order puts its own text, and
// counted once. A designator cell holds designators and ranges separated by
// commas, semicolons, blanks (space, tab, no-break space), line breaks and
// the join separator; "C1 - C4" (a lone "-" or en dash) is the range C1-C4;
// a cell that is only "-", "–" or "—" holds no designator.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/located_errors.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp {

// The most designators one list may hold, its ranges expanded. A list past
// it is refused at the row that passes it (PartsError) rather than expanded
// without bound: a line of a few bytes can stand for 32,767 designators.
// Real boards hold tens of thousands.
inline constexpr std::size_t kMaxListDesignators = std::size_t{1} << 20;  // 1,048,576

struct PartsTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;  // each as wide as the header
  // How messages name each row: its line in a file, say. Empty: 1, 2, 3...
  std::vector<std::size_t> row_numbers;
  // The word for a row in messages ("row", "line").
  std::string row_noun = "row";
};

// A table whose cells the caller holds, row after row: for large tables
// read from one buffer (a file), with no string per cell.
struct PartsTableView {
  std::span<const std::string> header;
  std::span<const std::string_view> cells;   // each row as wide as the header
  std::span<const std::size_t> row_numbers;  // empty: 1, 2, 3...
  std::string_view row_noun = "row";
};

// Which columns play which part, and how designators are written.
struct PartsColumns {
  std::size_t refs = 0;            // the designator column
  std::optional<std::size_t> qty;  // the quantity column, if the table has one
  // Collapsing a table without a quantity column adds one after the
  // designators, named so.
  std::string new_qty = "Qty";
  // Rows that agree on these columns are one part; empty: every column but
  // the designators and the quantity.
  std::vector<std::size_t> by;
  std::string join = ", ";  // between grouped entries; also separates when reading
  int min_run = kSystemMinRun;
  // Collapsing: a part with more designators is written as several rows of
  // at most this many, in order, each with its own quantity. None: no limit.
  std::optional<std::uint64_t> max_per_row;
  bool no_ranges = false;  // collapsing: designators one by one, never as a range
  // Comparing: the columns that name a part (PartsOptions::parts).
  std::vector<std::size_t> parts;
};

// Something the caller may want to know, found while collapsing or
// expanding; nothing in the result was lost or invented because of it.
struct PartsWarning {
  enum class Kind {
    DuplicateDesignator,  // one designator in more than one place
    DifferingCells,       // merged rows differ in a column that is no key
    QuantityNotWhole,     // a quantity such as DNP: the row is kept apart
    QuantityMismatch,     // a quantity that differs from the designators' count
    FormulaWithoutValue,  // a workbook's formula without a saved value: an empty cell
  };
  Kind kind;
  std::string message;            // one line, naming the rows by their numbers
  std::vector<std::size_t> rows;  // their numbers
};

struct PartsResult {
  // The output: the header (with the quantity column added where there was
  // none) and the rows; `row_numbers` holds each output row's first input row.
  PartsTable table;
  // Notes: what was read as the list meant it (a list for several boards).
  std::vector<std::string> notes;
  std::vector<PartsWarning> warnings;
};

// One row per part: rows that agree on the key columns become one, at the
// place of their first designator in the engine's order; its designator cell
// is the grouped list of all their designators, its quantity their number.
// Rows without designators are written as they came, last. A row whose
// quantity is no whole number (DNP) is a part of its own and keeps it.
// Errors: RuntimeError 5 (min_run below 2) before anything else; PartsError
// for columns or a join separator that cannot be used, and for a cell that
// cannot be read without changing it, and for a list of more than
// kMaxListDesignators designators; RowError for the engine's runtime
// errors (6 for more than 32767 designators in one part).
PartsResult collapse_rows(const PartsTable& table, const PartsColumns& columns);
PartsResult collapse_rows(const PartsTableView& table, const PartsColumns& columns);

// One row per designator in the engine's order, every other cell copied, the
// quantity 1 (a quantity that is no whole number is kept). Rows without
// designators are written as they came. Errors as collapse_rows.
// A view whose cells do not fill whole rows is a PartsError.
PartsResult expand_rows(const PartsTable& table, const PartsColumns& columns);
PartsResult expand_rows(const PartsTableView& table, const PartsColumns& columns);

// A column by header name: the same text, else the same once blanks are
// removed and ASCII letters lowered ("Ref Des" finds "refdes").
// Rows collapsed (or, with `options.expand`, expanded) as one call: the
// options checked, the columns chosen by name (choose_columns), the rows
// collapsed or expanded. A table without cells gives no rows and no
// columns. Errors as choose_columns', collapse_rows' and expand_rows'.
PartsResult process_parts_rows(const PartsTableView& table, const PartsOptions& options);

std::optional<std::size_t> find_column(std::span<const std::string> header, std::string_view name);
// A header name with blanks removed and ASCII letters lowered: names with
// the same key name one column as find_column's second look matches them.
std::string column_name_key(std::string_view name);
// The first column named Reference, References, Ref, Refs, Designator,
// Designators, RefDes, Reference Designator(s) or Part Reference.
std::optional<std::size_t> find_designator_column(std::span<const std::string> header);
// The first column named Qty or Quantity.
std::optional<std::size_t> find_quantity_column(std::span<const std::string> header);

// The columns of `header` chosen by the names in `options` (refs, qty, by;
// join and min_run copied). PartsError for a column that is not there
// (naming the option, the column and the headers), or a quantity column
// that is the designator column.
PartsColumns choose_columns(std::span<const std::string> header, const PartsOptions& options);

// How every message names one of two compared lists: its name (a file's,
// as the caller gives it) quoted, else "the old list" or "the new list".
std::string list_label(std::string_view name, bool old_list);

// A table, column, cell, option or file of a parts list that cannot be used
// as given (ArgumentError: where it happened, and the message so located).
class PartsError : public ArgumentError {
 public:
  using ArgumentError::ArgumentError;
};

}  // namespace ztxgrp
