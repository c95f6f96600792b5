// The ztxgrp command: group, ungroup, expand and check item designators.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

#include "command_options.hpp"
#include "errors.hpp"
#include "failure.hpp"
#include "io.hpp"
#include "options.hpp"
#include "platform.hpp"
#include "run.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/error_message.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

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

CLI::App* AddCommand(CLI::App& app, const char* name, const char* description,
                     ztxgrp::cli::Command command, ztxgrp::cli::Options& options) {
  CLI::App* sub = app.add_subcommand(name, description);
  sub->add_option("ITEM", options.items, "items (default: standard input, one per line)");
  sub->add_flag("-s,--split", options.split,
                "read each item as a parts-list cell: split at commas, semicolons, blanks "
                "and line breaks; \"C1 - C4\" is a range");
  sub->add_option("-j,--join", options.join, "join the output with SEP instead of newlines")
      ->option_text("SEP");
  sub->add_flag("--json", options.json,
                "read a JSON array (group, ungroup) or string (expand, check) from standard "
                "input and write JSON");
  sub->callback([&options, command] { options.command = command; });
  return sub;
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
  ztxgrp::cli::AddMinRun(
      AddCommand(app, "group", "sort items and fold runs into ranges", Command::Group, options),
      options.minRun);
  AddCommand(app, "ungroup", "expand items and ranges, sorted", Command::Ungroup, options);
  AddCommand(app, "expand", "expand one item or range text", Command::Expand, options);
  AddCommand(app, "check", "tell whether texts are valid items or ascending ranges", Command::Check,
             options);
  ztxgrp::cli::AddBomCommand(app, options);
  ztxgrp::cli::AddDiffCommand(app, options);
  ztxgrp::cli::AddGitDiffCommand(app, options);
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
  if (options.command == ztxgrp::cli::Command::Diff) {
    // After "--" the words left are the lists, OLD then NEW.
    std::vector<std::string*> files;
    if (options.partsList.file.empty()) files.push_back(&options.partsList.file);
    if (options.partsList.newFile.empty()) files.push_back(&options.partsList.newFile);
    if (items.size() > files.size())
      throw ztxgrp::cli::UsageError("diff takes two files, OLD and NEW");
    for (std::size_t k = 0; k < items.size(); ++k) *files[k] = items[k];
    if (options.partsList.newFile.empty())
      throw ztxgrp::cli::UsageError("diff takes two files, OLD and NEW");
  } else if (options.command == ztxgrp::cli::Command::GitDiff) {
    std::vector<std::string>& words = options.partsList.gitArguments;
    words.insert(words.end(), items.begin(), items.end());
  } else if (options.command != ztxgrp::cli::Command::Bom) {
    options.items.insert(options.items.end(), items.begin(), items.end());
  } else if (!items.empty()) {
    // After "--" the one word left is the parts list's FILE.
    if (items.size() > 1 || !options.partsList.file.empty())
      throw ztxgrp::cli::UsageError("bom takes at most one FILE");
    options.partsList.file = items.front();
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
