// The options of the parts-list commands (bom, diff) and of the shortest run.
#include "command_options.hpp"

#include <charconv>
#include <climits>

#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/failure.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_file.hpp"

namespace ztxgrp::cli {

// --min-run N: a decimal number (no octal or hexadecimal reading of 010 or
// 0x10); its value is checked when the operation runs.
void AddMinRun(CLI::App* sub, int& minRun) {
  sub->add_option_function<std::string>(
         "--min-run",
         [&minRun](const std::string& text) {
           long long value = 0;
           const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
           // Past the range of long long: as far past as the clamp goes.
           if (error == std::errc::result_out_of_range && end == text.data() + text.size())
             value = text.front() == '-' ? LLONG_MIN : LLONG_MAX;
           else if (text.empty() || error != std::errc() || end != text.data() + text.size())
             throw CLI::ValidationError("--min-run", "N is a decimal number");
           // A number below 2 is the engine's runtime error 5, raised where
           // the run starts, as every front end raises it.
           minRun = min_run_from(value);
         },
         "write runs shorter than N items item by item (default 2: every run)")
      ->option_text("N");
}

constexpr const char* kBomFooter =
    R"(The designator column may hold several designators and ranges per cell,
separated by commas, semicolons, blanks, line breaks or the --join separator
("R1, R3-R5 R9"; "C1 - C4" is the range C1-C4). A piece with "-" is a range
only when both halves (cut at the first "-") read as numbered items of one
prefix (R3-R5; R3-R1 fails with runtime error 9). Designators are written
back exactly as they came: one that ztxgrp would write differently (R001,
U1.1, Half-Bridge_DO1301) is kept whole and never folded into a range.

Collapse (default): rows that agree on the key columns become one row whose
designator cell is the grouped list of all their designators and whose
quantity column holds their number; rows are ordered by first designator.
Rows without designators are written as they came, last. A row whose
quantity is no whole number (DNP) stays apart and keeps it (a warning); a
quantity that differs from the count is warned about. With --by, other
columns whose cells differ between merged rows are warned about, and the
first row's cell is written. --strict makes duplicated designators and such
differing cells an error (exit 2).
--expand: one row per designator, every other cell copied, quantity 1.

The separator (comma, semicolon or tab) is taken from the header line unless
--sep names it; UTF-16 files with a byte-order mark are read. The output is
written in the input's separator, line end and encoding.

A workbook (.xlsx) is read as a spreadsheet shows its first sheet (or
--sheet NAME) and written as a workbook, or as the output's name (.csv,
.xlsx) or --format says: text stays text, numbers stay numbers.

Examples:
  ztxgrp bom parts.csv > collapsed.csv
  ztxgrp bom --expand collapsed.csv -o placement.csv
  ztxgrp bom parts.xlsx -o collapsed.xlsx)";

namespace {

// The options that bom and diff share: the output file, the separator, the
// columns, the join separator and the shortest run. `by` says what the key
// columns are for.
void AddPartsListOptions(CLI::App* sub, Options& options, const char* byHelp,
                         bool outputFile = true) {
  PartsListCommand& command = options.partsList;
  PartsOptions& parts = command.parts;
  if (outputFile)
    sub->add_option("-o,--output", command.output,
                    "write to FILE, replaced only when everything succeeded")
        ->option_text("FILE");
  sub->add_option_function<std::string>(
         "--sep",
         [&parts](const std::string& text) {
           try {
             parts.set_separator(text);
           } catch (const PartsError& error) {
             throw CLI::ValidationError(error.what());
           }
         },
         "the field separator (default: the one of , ; TAB in the header line)")
      ->option_text("SEP");
  sub->add_option("--refs", parts.refs,
                  "the designator column (default: the first Reference, References, Ref, Refs, "
                  "Designator, Designators or RefDes)")
      ->option_text("NAME");
  sub->add_option("--qty", parts.qty,
                  "the quantity column (default: Qty or Quantity, else a new Qty column after "
                  "the designators)")
      ->option_text("NAME");
  // One argument per --by, any number of names in all (A,B or --by A --by B),
  // split as every front end splits a text of names.
  sub->add_option_function<std::vector<std::string>>(
         "--by",
         [&parts](const std::vector<std::string>& texts) {
           for (const std::string& text : texts) parts.add_by_text(text);
         },
         byHelp)
      ->expected(1, CLI::detail::expected_max_vector_size)
      ->allow_extra_args(false)
      ->option_text("COL[,COL...]");
  sub->add_option("-j,--join", parts.join, "between grouped entries (default \", \")")
      ->option_text("SEP");
  AddMinRun(sub, parts.min_run);
  sub->add_option_function<std::string>(
         "--header-row",
         [&parts](const std::string& text) {
           long long row = 0;
           const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), row);
           if (text.empty() || error != std::errc() || end != text.data() + text.size())
             throw CLI::ValidationError("--header-row", "N is a decimal number");
           try {
             parts.set_header_row(row);
           } catch (const PartsError& failure) {
             throw CLI::ValidationError(failure.what());
           }
         },
         "the header's row, as a spreadsheet numbers rows (default: the first row that names "
         "the designator column; rows above it are a title, kept as written)")
      ->option_text("N");
  sub->add_option("--sheet", parts.sheet, "a workbook's sheet to read (default: the first)")
      ->option_text("NAME");
  if (outputFile)
    sub->add_option_function<std::string>(
           "--format",
           [&parts](const std::string& text) {
             try {
               parts.set_format(text);
             } catch (const PartsError& error) {
               throw CLI::ValidationError(error.what());
             }
           },
           "the output's form: csv or xlsx, for diff also text or json (default: as the "
           "output file's name ends, else the input's; diff: text)")
        ->option_text("FORM");
}

constexpr const char* kDiffFooter =
    R"text(Each designator is compared with itself in the other list, matched by its
text as written: only in OLD is "removed", only in NEW "added", in both with
a compared cell or its quantity different "changed". Compared columns: --by,
else every column both lists have (but designators and quantity); a column in
one list only is noted. A designator's quantity is 1 on a row whose quantity
is a whole number, else the cell as written (DNP). Rows without designators
are matched by their compared cells. Changes of one kind with the same cells
are one line, their designators grouped as bom groups them.

Output: one line per change, then a summary; --csv a table (Change, the
designator column, Count, then "C (old)" and "C (new)" for each compared
column and the quantity), in NEW's separator, line ends and encoding; --json
the changes as JSON; a workbook (-o FILE.xlsx, --format xlsx) the table,
each kind of change in its own colour. Exit status: 0 the lists agree, 1
they differ, 2 usage, input or output error, 3 runtime error.

Examples:
  ztxgrp diff rev-a.csv rev-b.csv
  ztxgrp diff --csv parts.csv placement.csv -o check.csv
  ztxgrp diff rev-a.xlsx rev-b.xlsx -o changes.xlsx)text";

}  // namespace

void AddBomCommand(CLI::App& app, Options& options) {
  PartsListCommand& bom = options.partsList;
  CLI::App* sub = app.add_subcommand(
      "bom", "collapse a parts-list CSV to one row per part, or expand it to one per designator");
  sub->footer(kBomFooter);
  sub->add_option("FILE", bom.file, "the CSV file or workbook (default or -: standard input)");
  AddPartsListOptions(sub, options,
                      "the key columns, comma-separated, repeatable (default: all but "
                      "designators and quantity)");
  sub->add_flag("--expand", bom.parts.expand, "one row per designator instead of one per part");
  sub->add_flag("--strict", bom.strict, "duplicated designators are an error (exit 2)");
  sub->callback([&options] { options.command = Command::Bom; });
}

void AddDiffCommand(CLI::App& app, Options& options) {
  PartsListCommand& diff = options.partsList;
  CLI::App* sub = app.add_subcommand("diff",
                                     "compare two parts lists: what was added, removed "
                                     "or changed, designators grouped");
  sub->footer(kDiffFooter);
  sub->add_option("OLD", diff.file, "the old parts list (-: standard input)");
  sub->add_option("NEW", diff.newFile, "the new parts list (-: standard input)");
  AddPartsListOptions(sub, options,
                      "the compared columns, comma-separated, repeatable (default: every column "
                      "both lists have but designators and quantity)");
  sub->add_flag("--all", diff.parts.unchanged, "also write the designators that did not change");
  sub->add_flag("--csv", diff.csv, "write the changes as a CSV table");
  sub->add_flag("--json", diff.json, "write the changes as JSON");
  sub->callback([&options] { options.command = Command::Diff; });
}

constexpr const char* kGitDiffFooter =
    R"text(git runs an external diff driver with seven words: the path, then the old
file, its hash and mode, then the new file, its hash and mode (/dev/null
for a file added or deleted: an empty list), or with the path alone for an
unmerged path. The changes are written for people, as by diff, under a line
"ztxgrp diff a/PATH b/PATH"; the exit status is 0 whenever the lists could
be compared (git takes any other for a failure).

Set-up, in a repository:
  echo '*.csv diff=ztxgrp' >> .gitattributes
  git config diff.ztxgrp.command 'ztxgrp git-diff'
Then git diff and git log -p --ext-diff compare parts lists by designator
(git show and git log use an external driver only with --ext-diff).
Options after git-diff in the command apply to every list.)text";

void AddGitDiffCommand(CLI::App& app, Options& options) {
  CLI::App* sub =
      app.add_subcommand("git-diff", "compare two parts lists as git's external diff driver");
  sub->footer(kGitDiffFooter);
  sub->add_option("WORD", options.partsList.gitArguments,
                  "PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE, as git gives them");
  AddPartsListOptions(sub, options,
                      "the compared columns, comma-separated, repeatable (default: every column "
                      "both lists have but designators and quantity)",
                      false);
  sub->callback([&options] { options.command = Command::GitDiff; });
}

}  // namespace ztxgrp::cli
