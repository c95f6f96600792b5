// The ztxgrp command: group, ungroup, expand and check item designators.
#include <CLI/CLI.hpp>
#include <iostream>

#include "options.hpp"
#include "run.hpp"

namespace {

constexpr const char* kExamples = R"(Examples:
  ztxgrp group R3 R1 C2 R2 R5          C2, R1-R3, R5 on three lines
  ztxgrp group -s -j ', ' "R1, R2,R3"  R1-R3
  ztxgrp ungroup C1-C3 R5               C1 C2 C3 R5, one per line
  ztxgrp expand R1-R4                   R1 R2 R3 R4, one per line
  ztxgrp check R1-R3 R3-R1              true, false; exit status 1
  cut -d, -f1 parts.csv | ztxgrp group  one designator per input line
  echo '["R2","R1"]' | ztxgrp group --json
Items are taken verbatim: blanks and leading zeros matter. Put -- before
items that begin with "-".

Exit status: 0 success; 1 check found an invalid text; 2 usage or input
error; 3 runtime error (message "ztxgrp: runtime error N: DESCRIPTION").)";

void AddCommand(CLI::App& app, const char* name, const char* description,
                ztxgrp::cli::Command command, ztxgrp::cli::Options& options) {
  CLI::App* sub = app.add_subcommand(name, description);
  sub->add_option("ITEM", options.items, "items (default: standard input, one per line)");
  sub->add_flag("-s,--split", options.split, "split each item at commas and blanks first");
  sub->add_option("-j,--join", options.join, "join the output with SEP instead of newlines")
      ->option_text("SEP");
  sub->add_flag("--json", options.json,
                "read a JSON array (group, ungroup) or string (expand, check) from standard "
                "input and write JSON");
  sub->callback([&options, command] { options.command = command; });
}

}  // namespace

int main(int argc, char** argv) {
  using ztxgrp::cli::Command;
  ztxgrp::cli::Options options;
  CLI::App app{"Turn item designators into compact range notation and back."};
  app.name("ztxgrp");
  app.footer(kExamples);
  app.set_version_flag("--version", "ztxgrp " ZTXGRP_VERSION);
  app.require_subcommand(1);
  AddCommand(app, "group", "sort items and fold runs into ranges", Command::Group, options);
  AddCommand(app, "ungroup", "expand items and ranges, sorted", Command::Ungroup, options);
  AddCommand(app, "expand", "expand one item or range text", Command::Expand, options);
  AddCommand(app, "check", "tell whether texts are valid items or ascending ranges", Command::Check,
             options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : ztxgrp::cli::kUsageError;
  }
  std::ios::sync_with_stdio(false);
  return ztxgrp::cli::Run(options, std::cin, std::cout, std::cerr);
}
