// The options that several commands share: the shortest run, and the
// options of the parts-list commands (bom, diff, git-diff).
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

// The options that bom and diff share: the output file, the separator, the
// columns, the join separator and the shortest run. `by` says what the key
// columns are for.
void AddPartsListOptions(CLI::App* sub, PartsListCommand& command, const char* byHelp,
                         bool outputFile) {
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

}  // namespace ztxgrp::cli
