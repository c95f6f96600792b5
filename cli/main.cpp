// The ztxgrp command: group, ungroup, expand and check item designators.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

#include "errors.hpp"
#include "failure.hpp"
#include "io.hpp"
#include "options.hpp"
#include "platform.hpp"
#include "run.hpp"
#include "ztxgrp/error_message.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/values.hpp"

namespace {

constexpr const char* kExamples = R"(Examples:
  ztxgrp group R3 R1 C2 R2 R5          C2, R1-R3, R5 on three lines
  ztxgrp group -s -j ', ' "R1, R2,R3"  R1-R3
  ztxgrp group --min-run 3 R1 R2 R5 R6 R7   R1, R2, R5-R7
  ztxgrp ungroup C1-C3 R5               C1 C2 C3 R5, one per line
  ztxgrp expand R1-R4                   R1 R2 R3 R4, one per line
  ztxgrp check R1-R3 R3-R1              true, false; exit status 1
  ztxgrp bom parts.csv                  one row per part ("C1-C4, C9", Qty 5)
  cut -d, -f1 parts.csv | ztxgrp group  one designator per input line
  echo '["R2","R1"]' | ztxgrp group --json
Items are taken verbatim: blanks and leading zeros matter. Put -- before
items that begin with "-". Items that hold a line break need --json.

Exit status: 0 success; 1 check found an invalid text; 2 usage, input or
output error; 3 runtime error (message "ztxgrp: runtime error N: DESCRIPTION";
N is 7 when memory runs out).)";

// --min-run N: a decimal number (no octal or hexadecimal reading of 010 or
// 0x10), within the range that the engine's own check allows.
void AddMinRun(CLI::App* sub, ztxgrp::cli::Options& options) {
  sub->add_option_function<std::string>(
         "--min-run",
         [&options](const std::string& text) {
           int value = 0;
           const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
           if (text.empty() || error != std::errc() || end != text.data() + text.size())
             throw CLI::ValidationError("--min-run", "N is a decimal number");
           try {
             ztxgrp::CheckMinRun(value);
           } catch (const ztxgrp::RuntimeError& failure) {
             throw CLI::ValidationError("--min-run", ztxgrp::RuntimeErrorHead(failure) +
                                                         " (N is a decimal number of 2 or more)");
           }
           options.minRun = value;
         },
         "write runs shorter than N items item by item (default 2: every run)")
      ->option_text("N");
}

CLI::App* AddCommand(CLI::App& app, const char* name, const char* description,
                     ztxgrp::cli::Command command, ztxgrp::cli::Options& options) {
  CLI::App* sub = app.add_subcommand(name, description);
  sub->add_option("ITEM", options.items, "items (default: standard input, one per line)");
  sub->add_flag("-s,--split", options.split,
                "split each item at commas, semicolons, blanks and line breaks first");
  sub->add_option("-j,--join", options.join, "join the output with SEP instead of newlines")
      ->option_text("SEP");
  sub->add_flag("--json", options.json,
                "read a JSON array (group, ungroup) or string (expand, check) from standard "
                "input and write JSON");
  sub->callback([&options, command] { options.command = command; });
  return sub;
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

Examples:
  ztxgrp bom parts.csv > collapsed.csv
  ztxgrp bom --expand collapsed.csv -o placement.csv)";

void AddBomCommand(CLI::App& app, ztxgrp::cli::Options& options) {
  ztxgrp::cli::BomOptions& bom = options.bom;
  CLI::App* sub = app.add_subcommand(
      "bom", "collapse a parts-list CSV to one row per part, or expand it to one per designator");
  sub->footer(kBomFooter);
  sub->add_option("FILE", bom.file, "the CSV file (default or -: standard input)");
  sub->add_option("-o,--output", bom.output,
                  "write to FILE, replaced only when everything succeeded")
      ->option_text("FILE");
  sub->add_option_function<std::string>(
         "--sep",
         [&bom](const std::string& text) {
           try {
             bom.separator = ztxgrp::separator_named(text);
           } catch (const ztxgrp::PartsError& error) {
             throw CLI::ValidationError("--sep", error.what());
           }
         },
         "the field separator (default: the one of , ; TAB in the header line)")
      ->option_text("SEP");
  sub->add_option("--refs", bom.refs,
                  "the designator column (default: the first Reference, References, Ref, Refs, "
                  "Designator, Designators or RefDes)")
      ->option_text("NAME");
  sub->add_option("--qty", bom.qty,
                  "the quantity column (default: Qty or Quantity, else a new Qty column after "
                  "the designators)")
      ->option_text("NAME");
  sub->add_option("--by", bom.by,
                  "the key columns, comma-separated, repeatable (default: all but designators "
                  "and quantity)")
      ->delimiter(',')
      // One argument per --by, any number of names in all (A,B or --by A --by B).
      ->expected(1, CLI::detail::expected_max_vector_size)
      ->allow_extra_args(false)
      ->option_text("COL[,COL...]");
  sub->add_option("-j,--join", bom.join, "between grouped entries (default \", \")")
      ->option_text("SEP");
  AddMinRun(sub, options);
  sub->add_flag("--expand", bom.expand, "one row per designator instead of one per part");
  sub->add_flag("--strict", bom.strict, "duplicated designators are an error (exit 2)");
  sub->callback([&options] { options.command = ztxgrp::cli::Command::Bom; });
}

// The words after the "--" that ends the options are items (bom: its FILE),
// whatever they look like. They are taken out of `argc` here, because the
// parser honours "--" only before the first item; which words are values of
// options (a "--" given to -j, -o or --by is a value) the parser's own
// options tell.
std::vector<std::string> WordsAfterEndOfOptions(const CLI::App& app, int& argc, char** argv) {
  std::vector<std::string> words;
  if (argc < 2) return words;
  const CLI::App* sub = nullptr;
  try {
    sub = app.get_subcommand(argv[1]);
  } catch (const CLI::OptionNotFound&) {
    return words;  // no command: the parser reports it
  }
  for (int k = 2; k < argc; ++k) {
    const std::string word = argv[k];
    if (word == "--") {
      words.assign(argv + k + 1, argv + argc);
      argc = k;
      break;
    }
    const bool isLong = word.starts_with("--"), isShort = !isLong && word.starts_with("-");
    if ((isLong && word.find('=') == std::string::npos) || (isShort && word.size() == 2)) {
      const CLI::Option* option = sub->get_option_no_throw(word);
      if (option != nullptr && option->get_items_expected_max() > 0) ++k;  // its value
    }
  }
  return words;
}

// Parses the command line; false when it was a request for help or the
// version, which has been written to `out`.
bool Parse(int argc, char** argv, ztxgrp::cli::Options& options, ztxgrp::cli::OutputWriter& out) {
  using ztxgrp::cli::Command;
  CLI::App app{"Turn item designators into compact range notation and back."};
  app.name("ztxgrp");
  // Options begin with "-" on every system: "/data/parts.csv" is a file name.
  app.allow_windows_style_options(false);
  app.footer(kExamples);
  app.set_version_flag("--version", "ztxgrp " ZTXGRP_VERSION);
  app.require_subcommand(1);
  AddMinRun(
      AddCommand(app, "group", "sort items and fold runs into ranges", Command::Group, options),
      options);
  AddCommand(app, "ungroup", "expand items and ranges, sorted", Command::Ungroup, options);
  AddCommand(app, "expand", "expand one item or range text", Command::Expand, options);
  AddCommand(app, "check", "tell whether texts are valid items or ascending ranges", Command::Check,
             options);
  AddBomCommand(app, options);
  const std::vector<std::string> items = WordsAfterEndOfOptions(app, argc, argv);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& request) {
    std::ostringstream text, ignored;
    app.exit(request, text, ignored);
    out.Write(text.str());
    return false;
  } catch (const CLI::ParseError& error) {
    throw ztxgrp::cli::UsageError(error.what());
  }
  if (options.command != ztxgrp::cli::Command::Bom) {
    options.items.insert(options.items.end(), items.begin(), items.end());
  } else if (!items.empty()) {
    // After "--" the one word left is the parts list's FILE.
    if (items.size() > 1 || !options.bom.file.empty())
      throw ztxgrp::cli::UsageError("bom takes at most one FILE");
    options.bom.file = items.front();
  }
  return true;
}

int Main(int argc, char** argv) {
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  try {
    ztxgrp::cli::PrepareStandardStreams();
    ztxgrp::cli::Options options;
    ztxgrp::cli::OutputWriter out(stdout);
    int status = ztxgrp::cli::kSuccess;
    if (Parse(argc, argv, options, out)) {
      ztxgrp::cli::InputBuffer in(stdin, options.json);
      status = ztxgrp::cli::Run(options, in, out);
    }
    out.Finish();
    return status;
  } catch (...) {
    return ztxgrp::cli::ReportFailure(std::current_exception());
  }
}

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over as UTF-16 whatever the console's code page.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  try {
    arguments = ztxgrp::cli::Utf8Arguments(argc, argv);
  } catch (...) {
    return ztxgrp::cli::ReportFailure(std::current_exception());
  }
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return Main(argc, pointers.data());
}
#else
int main(int argc, char** argv) {
  return Main(argc, argv);
}
#endif
