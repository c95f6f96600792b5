// The ztxgrp command: group, ungroup, expand and check item designators.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

#include "command.hpp"
#include "errors.hpp"
#include "failure.hpp"
#include "io.hpp"
#include "options.hpp"
#include "platform.hpp"
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

// The program's commands, each registered with `app`, which is set up first:
// a command takes the settings its parent has when it is added.
std::vector<std::unique_ptr<ztxgrp::cli::Command>> MakeCommands(CLI::App& app) {
  app.name("ztxgrp");
  // Options begin with "-" on every system: "/data/parts.csv" is a file name.
  app.allow_windows_style_options(false);
  app.footer(kExamples);
  app.set_version_flag("--version", "ztxgrp " ZTXGRP_VERSION);
  app.require_subcommand(1);
  std::vector<std::unique_ptr<ztxgrp::cli::Command>> commands = ztxgrp::cli::MakeListCommands(app);
  commands.push_back(ztxgrp::cli::MakeBomCommand(app));
  commands.push_back(ztxgrp::cli::MakeDiffCommand(app));
  commands.push_back(ztxgrp::cli::MakeGitDiffCommand(app));
  commands.push_back(ztxgrp::cli::MakeVerifyCommand(app));
  for (auto& command : ztxgrp::cli::MakeSetCommands(app)) commands.push_back(std::move(command));
  return commands;
}

// Parses the command line: the command given, or none when it was a request
// for help or the version, which has been written to `out`.
ztxgrp::cli::Command* Parse(int argc, char** argv, CLI::App& app,
                            const std::vector<std::unique_ptr<ztxgrp::cli::Command>>& commands,
                            ztxgrp::cli::OutputWriter& out) {
  std::vector<std::string> words = WordsAfterEndOfOptions(app, argc, argv);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& request) {
    std::ostringstream text, ignored;
    app.exit(request, text, ignored);
    out.Write(text.str());
    return nullptr;
  } catch (const CLI::ParseError& error) {
    throw ztxgrp::cli::UsageError(error.what());
  }
  for (const auto& command : commands)
    if (command->App()->parsed()) {
      command->TakeWordsAfterOptions(std::move(words));
      return command.get();
    }
  throw ztxgrp::cli::UsageError("no command given");
}

int Main(int argc, char** argv) {
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  try {
    ztxgrp::cli::PrepareStandardStreams();
    CLI::App app{"Turn item designators into compact range notation and back."};
    const std::vector<std::unique_ptr<ztxgrp::cli::Command>> commands = MakeCommands(app);
    ztxgrp::cli::OutputWriter out(stdout);
    int status = ztxgrp::cli::kSuccess;
    if (ztxgrp::cli::Command* command = Parse(argc, argv, app, commands, out)) {
      ztxgrp::cli::InputBuffer in(stdin, command->ReadsJson());
      status = command->Run(in, out);
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
