// One command of ztxgrp (group, bom, diff, ...): it registers its own
// options with the parser, takes the words after "--" that ends the options,
// and runs. main builds the parser from the commands and runs the one given;
// no command knows another's options.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

#include "io.hpp"

namespace ztxgrp::cli {

class Command {
 public:
  virtual ~Command() = default;
  // The command's parser, registered with the program's.
  CLI::App* App() const noexcept { return app_; }
  // The words after "--" that ends the options: items or files, whatever
  // they look like. UsageError when the command takes no more.
  virtual void TakeWordsAfterOptions(std::vector<std::string> words) = 0;
  // Whether standard input holds JSON (read whole, not line by line).
  virtual bool ReadsJson() const { return false; }
  // Runs what the options asked for: the exit status (ExitStatus). Failures
  // are thrown; main reports them.
  virtual int Run(InputBuffer& in, OutputWriter& out) = 0;

 protected:
  CLI::App* app_ = nullptr;
};

// group, ungroup, expand and check.
std::vector<std::unique_ptr<Command>> MakeListCommands(CLI::App& app);
// bom.
std::unique_ptr<Command> MakeBomCommand(CLI::App& app);
// diff and git-diff.
std::unique_ptr<Command> MakeDiffCommand(CLI::App& app);
std::unique_ptr<Command> MakeGitDiffCommand(CLI::App& app);
// verify.
std::unique_ptr<Command> MakeVerifyCommand(CLI::App& app);
// union, intersect, subtract, xor, count, contains, gaps, free.
std::vector<std::unique_ptr<Command>> MakeSetCommands(CLI::App& app);

}  // namespace ztxgrp::cli
