// The options of collapsing, expanding and comparing parts lists: one value
// that every front end fills from its own syntax (the command's flags,
// Python's keyword arguments, an options object in JavaScript), with its
// defaults, its rules and the names its options have in each front end's
// messages. The rules live here alone, so that no front end drifts.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/located_errors.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

// Whose words a message uses for an option.
enum class OptionStyle {
  Command,     // --refs
  Python,      // refs=
  JavaScript,  // refs
  Calc,        // MinRun, as the Function Wizard names an argument
};

enum class PartsOption {
  Refs,
  Qty,
  By,
  Join,
  MinRun,
  Sep,
  Unchanged,
  HeaderRow,
  LastRow,
  Sheet,
  Format,
  MaxPerRow,
  NoRanges,
  Ignore,
  PlacementFormat,
  Parts,
  Boards,
  FreeCount,
};

// What an option's value is.
enum class OptionKind {
  Text,       // any text
  Names,      // column names: one text separated by commas, or a list
  Whole,      // a whole number
  Flag,       // true or false
  Separator,  // one character, or "tab"
  Form,       // an output form's name
};

// The operations, as bits: which take an option.
enum PartsOperation : unsigned {
  kOperationCollapseRows = 1u << 0,
  kOperationExpandRows = 1u << 1,
  kOperationCollapseFile = 1u << 2,
  kOperationExpandFile = 1u << 3,
  kOperationDiffRows = 1u << 4,
  kOperationDiffFiles = 1u << 5,
  kOperationVerifyFiles = 1u << 6,
  kOperationVerifyRows = 1u << 7,
  kOperationCombineSets = 1u << 8,  // union, intersect, subtract, xor
  kOperationSetGaps = 1u << 9,
  kOperationSetFree = 1u << 10,
};

// One option of the parts-list operations: its name in each front end's
// idiom (an empty `calc` where the Calc add-in has no such argument), its
// kind, its default as a front end writes it (none: not given) and the
// operations that take it.
struct PartsOptionSpec {
  PartsOption option;
  const char* command;     // "--min-run"
  const char* python;      // "min_run"
  const char* javascript;  // "minRun"
  const char* calc;        // "MinRun"
  OptionKind kind;
  const char* default_value;  // "2", ", ", "false"; nullptr: none
  unsigned operations;        // PartsOperation bits
};

// Every option, declared once (the build makes this table from the
// project's options file).
std::span<const PartsOptionSpec> parts_option_table() noexcept;

// The form of a parts-list file.
enum class PartsFormat { Csv, Workbook };

// The placement files' forms: KiCad's text .pos and CSV, an assembler's CPL
// (CSV or workbook), Altium's Pick Place report, Eagle's mountsmd output and
// tab-separated XYRS.
enum class PlacementFormat { KicadPos, KicadCsv, Cpl, Altium, Eagle, Xyrs };

// The form of what an operation writes: a parts list is a table (CSV or a
// workbook, .xlsx or .ods); a comparison is also written as text for
// people, as JSON or as an HTML report.
enum class OutputForm { Text, Csv, Json, Workbook, Html, OpenDocument };

// The option as `style` spells it in messages: "--min-run", "min_run=",
// "minRun".
std::string option_name(PartsOption option, OptionStyle style);

struct PartsOptions {
  // The designator column; none: the first with a designator column's name
  // (find_designator_column).
  std::optional<std::string> refs;
  // The quantity column; none: Qty or Quantity. A name that is not in the
  // header names the quantity column that collapsing adds.
  std::optional<std::string> qty;
  // The key columns (collapse) or the compared columns (diff); empty: every
  // column but the designators and the quantity.
  std::vector<std::string> by;
  std::string join = ", ";  // between grouped entries; also separates when reading
  int min_run = kSystemMinRun;
  std::optional<char> separator;  // none: detected from the header line
  // Files: the header's row, counted as a spreadsheet numbers rows (1 for
  // the first); none: the first row that names the designator column (as
  // `refs`, or the built-in names, find it) among the first 101. The rows
  // above it are a title, kept as written.
  std::optional<std::uint64_t> header_row;
  // Files: the parts' last row, counted as `header_row` is; the rows below
  // it are kept as they are, below the output. None: the parts end at the
  // first empty row after one.
  std::optional<std::uint64_t> last_row;
  // Workbooks: the sheet to read; none: the first.
  std::optional<std::string> sheet;
  // The output's form; none: the operation's own (collapsing and
  // expanding: the input's form; comparing: the text for people).
  std::optional<OutputForm> format;
  // Collapsing: a part with more designators is written as several rows of
  // at most this many; verifying: a row with more is a finding. None: no
  // limit.
  std::optional<std::uint64_t> max_per_row;
  bool no_ranges = false;  // collapsing: designators one by one, never as a range
  // Verifying: shell-style patterns of designators left out of those on
  // one side only (fiducials, test points).
  std::vector<std::string> ignore;
  // Verifying: the placement files' form; none: recognised by content.
  std::optional<PlacementFormat> placement_format;
  // Comparing: the columns that name a part; not empty: a table of the
  // parts whose quantity changed, and designators that changed part moved.
  std::vector<std::string> parts;
  // Comparing with `parts`: the boards being built (the quantities per
  // board times this).
  std::uint64_t boards = 1;
  bool expand = false;                       // bom: one row per designator instead of one per part
  bool unchanged = false;                    // diff: also the designators that did not change
  OptionStyle style = OptionStyle::Command;  // for messages
  // How messages name options where a front end shows fields of its own
  // (a page's "Designator column" field); an option not named here is
  // named as `style` spells it.
  std::vector<std::pair<PartsOption, std::string>> labels;

  // The option as messages name it: its label, else as `style` spells it.
  std::string name_of(PartsOption option) const;

  // An option given by its front end, translated to the option's kind
  // alone: text (Text, Separator, Form; Names: one text of names), a whole
  // number (Whole) or a Boolean (Flag). PartsError naming the option when
  // the value breaks its rule or the kind is not the option's.
  void set_text(PartsOption option, std::string_view text);
  void set_whole(PartsOption option, long long value);
  void set_flag(PartsOption option, bool value);
  // Names: one more column name, as a list gives them.
  void add_name(PartsOption option, std::string_view name);

  // Adds the key columns named by one text: names separated by commas,
  // empty names dropped ("Value," is Value).
  void add_by_text(std::string_view text);
  // The separator as users name it: one character other than a quote or a
  // line break, or "tab" (also "\t" spelled with a backslash). PartsError
  // naming the option otherwise.
  void set_separator(std::string_view name);
  // The header's row, a whole number of 1 or more. PartsError naming the
  // option otherwise.
  void set_header_row(long long row);
  // The parts' last row, a whole number of 1 or more. PartsError naming the
  // option otherwise.
  void set_last_row(long long row);
  // The output's form as users name it: "text", "csv", "json", "html",
  // "xlsx" or "ods".
  // PartsError naming the option otherwise.
  void set_format(std::string_view name);
  // The placement files' form as users name it: "kicad-pos", "kicad-csv",
  // "cpl", "altium", "eagle", "xyrs". PartsError naming the option otherwise.
  void set_placement_format(std::string_view name);
  // The most designators a row may hold, 1 or more. PartsError naming the
  // option otherwise.
  void set_max_per_row(long long count);
  // The boards being built, 1 or more. PartsError naming the option
  // otherwise.
  void set_boards(long long count);
};

// Adds the names of one text separated by commas to `names`, empty names
// dropped, as every front end splits a text of names.
void add_by_text_to(std::vector<std::string>& names, std::string_view text);

// A placement form's name, as set_placement_format takes it.
const char* placement_format_name(PlacementFormat format) noexcept;

// A shortest run given as any whole number: one beyond the range of `int`
// means what the nearest `int` means (a run longer than any list: no
// ranges; a negative one: error 5 when checked).
int min_run_from(long long value) noexcept;

// The shortest run: OptionValueError 5 below 2, naming the option.
void check_min_run(int min_run, OptionStyle style);
void check_min_run(int min_run, const PartsOptions& options);

// How many free numbers are asked for: PartsError below 1, naming the
// option in `style`'s words.
void check_free_count(long long count, OptionStyle style);

// The options checked before any table is read: check_min_run's errors,
// and check_join's naming the option.
void check_parts_options(const PartsOptions& options);

// The join separator as collapsing, expanding and comparing write it:
// PartsError when it is empty or holds a dash (it would read as a range),
// EncodingError when it is no UTF-8.
void check_join(std::string_view join);

// The output's form from the user's words: the one asked for, else the one
// the output file's name ends in (.xlsx, .ods, .csv, .json, .txt, .html, in
// any case),
// else none (the operation's own).
std::optional<OutputForm> output_form(std::optional<OutputForm> asked, std::string_view file_name);

// The name users give a form: "text", "csv", "json", "html", "xlsx", "ods".
const char* output_form_name(OutputForm form) noexcept;

// The separator rule alone, for a front end that reads a file to show it.
char separator_named(std::string_view name);

}  // namespace ztxgrp
