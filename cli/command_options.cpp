// The options that several commands share: the shortest run, and the
// options of the parts-list commands (bom, diff, git-diff).
#include "command_options.hpp"

#include <charconv>
#include <climits>

#include "errors.hpp"
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

std::optional<OutputForm> OutputFormOf(const PartsListCommand& command, const char* name) {
  // --csv, --json and --html name a form as --format does; the form asked
  // for wins over the output file's name.
  constexpr struct {
    bool PartsListCommand::*given;
    OutputForm form;
    const char* flag;
  } kFlags[] = {{&PartsListCommand::csv, OutputForm::Csv, "--csv"},
                {&PartsListCommand::json, OutputForm::Json, "--json"},
                {&PartsListCommand::html, OutputForm::Html, "--html"}};
  std::optional<OutputForm> asked = command.parts.format;
  const char* flagged = nullptr;
  for (const auto& flag : kFlags) {
    if (!(command.*flag.given)) continue;
    if (flagged)
      throw UsageError(std::string(name) + ": " + flagged + " and " + flag.flag +
                       " cannot be combined");
    if (asked && *asked != flag.form)
      throw UsageError(std::string(name) + ": " + flag.flag + " cannot be combined with --format " +
                       output_form_name(*asked));
    flagged = flag.flag;
    asked = flag.form;
  }
  return output_form(asked, command.output.value_or(""));
}

namespace {

// Whether the options file declares `option` for one of `operations`.
bool Takes(PartsOption option, unsigned operations) {
  for (const PartsOptionSpec& declared : parts_option_table())
    if (declared.option == option) return (declared.operations & operations) != 0;
  return false;
}

// A library rule broken by an option's value, as the parser reports it.
template <typename Set>
void Translated(Set&& set) {
  try {
    set();
  } catch (const PartsError& error) {
    throw CLI::ValidationError(error.what());
  }
}

long long DecimalOf(const std::string& text, const char* option) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw CLI::ValidationError(option, "N is a decimal number");
  return value;
}

}  // namespace

// The options of the parts-list commands, each added where the options file
// declares it for one of `operations`: the output file, the separator, the
// columns, the join separator, the shortest run, ... `byHelp` says what the
// key columns are for.
void AddPartsListOptions(CLI::App* sub, PartsListCommand& command, const char* byHelp,
                         unsigned operations, bool outputFile) {
  PartsOptions& parts = command.parts;
  if (outputFile)
    sub->add_option("-o,--output", command.output,
                    "write to FILE, replaced only when everything succeeded")
        ->option_text("FILE");
  if (Takes(PartsOption::Sep, operations))
    sub->add_option_function<std::string>(
           "--sep",
           [&parts](const std::string& text) { Translated([&] { parts.set_separator(text); }); },
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
  if (Takes(PartsOption::By, operations))
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
  // A row named by its number: the option's own rule, given the whole
  // number the text names.
  const auto addRow = [&](PartsOption option, const char* name,
                          void (PartsOptions::*set)(long long), const char* help) {
    if (!Takes(option, operations)) return;
    sub->add_option_function<std::string>(
           name,
           [&parts, name, set](const std::string& text) {
             const long long row = DecimalOf(text, name);
             Translated([&] { (parts.*set)(row); });
           },
           help)
        ->option_text("N");
  };
  addRow(PartsOption::HeaderRow, "--header-row", &PartsOptions::set_header_row,
         "the header's row, as a spreadsheet numbers rows (default: the first row that names "
         "the designator column; rows above it are a title, kept as written)");
  addRow(PartsOption::LastRow, "--last-row", &PartsOptions::set_last_row,
         "the parts' last row, counted as --header-row counts (default: the parts end at the "
         "first empty row after one; the rows below are kept as they are)");
  if (Takes(PartsOption::Sheet, operations))
    sub->add_option("--sheet", parts.sheet, "a workbook's sheet to read (default: the first)")
        ->option_text("NAME");
  if (outputFile && Takes(PartsOption::Format, operations))
    sub->add_option_function<std::string>(
           "--format",
           [&parts](const std::string& text) { Translated([&] { parts.set_format(text); }); },
           "the output's form: csv, xlsx or ods, for diff and verify also text or json, for diff "
           "html (default: as the output file's name ends, else the input's; diff and verify: "
           "text)")
        ->option_text("FORM");
  if (Takes(PartsOption::MaxPerRow, operations))
    sub->add_option_function<std::string>(
           "--max-per-row",
           [&parts](const std::string& text) {
             const long long count = DecimalOf(text, "--max-per-row");
             Translated([&] { parts.set_max_per_row(count); });
           },
           "the most designators a row may hold (an assembler's uploader): bom writes a larger "
           "part as several rows of at most N; verify finds rows with more")
        ->option_text("N");
  if (Takes(PartsOption::NoRanges, operations))
    sub->add_flag("--no-ranges", parts.no_ranges,
                  "write designators one by one, never as a range (C3, C4, C5, not C3-C5)");
  if (Takes(PartsOption::Ignore, operations))
    sub->add_option_function<std::vector<std::string>>(
           "--ignore",
           [&parts](const std::vector<std::string>& texts) {
             for (const std::string& text : texts) add_by_text_to(parts.ignore, text);
           },
           "designators left out of those on one side only: shell-style patterns, "
           "comma-separated, repeatable (FID*,H*,TP*)")
        ->expected(1, CLI::detail::expected_max_vector_size)
        ->allow_extra_args(false)
        ->option_text("PATTERN[,PATTERN...]");
  if (Takes(PartsOption::Parts, operations))
    sub->add_option_function<std::vector<std::string>>(
           "--parts",
           [&parts](const std::vector<std::string>& texts) {
             for (const std::string& text : texts) add_by_text_to(parts.parts, text);
           },
           "the columns that name a part (MPN, or Value,Footprint), comma-separated, "
           "repeatable: each part's quantity before and after, and designators that moved "
           "between parts")
        ->expected(1, CLI::detail::expected_max_vector_size)
        ->allow_extra_args(false)
        ->option_text("KEY[,KEY...]");
  if (Takes(PartsOption::Boards, operations))
    sub->add_option_function<std::string>(
           "--boards",
           [&parts](const std::string& text) {
             const long long count = DecimalOf(text, "--boards");
             Translated([&] { parts.set_boards(count); });
           },
           "with --parts: the boards being built; the quantities (per board) times N")
        ->option_text("N");
  if (Takes(PartsOption::PlacementFormat, operations))
    sub->add_option_function<std::string>(
           "--placement-format",
           [&parts](const std::string& text) {
             Translated([&] { parts.set_placement_format(text); });
           },
           "the placement files' form: kicad-pos, kicad-csv, cpl, altium, eagle or xyrs "
           "(default: recognised by content)")
        ->option_text("NAME");
}

}  // namespace ztxgrp::cli
