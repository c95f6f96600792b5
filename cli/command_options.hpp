// Registering the options that more than one command takes with the
// command-line parser.
#pragma once

#include <CLI/CLI.hpp>

#include "options.hpp"

namespace ztxgrp::cli {

// --min-run N for group, bom and diff.
void AddMinRun(CLI::App* sub, int& minRun);

// The options that bom, diff and git-diff share: the output file (unless
// `outputFile` is false), the separator, the columns, the join separator,
// the shortest run, the header row, the sheet and the output's form.
// `byHelp` says what the key columns are for.
// The output's form of a command with --csv and --json beside --format
// (diff, verify): the form named, else the output file's name's. UsageError,
// naming the command, when the words disagree.
std::optional<OutputForm> OutputFormOf(const PartsListCommand& command, const char* name);

void AddPartsListOptions(CLI::App* sub, PartsListCommand& command, const char* byHelp,
                         unsigned operations, bool outputFile = true);

}  // namespace ztxgrp::cli
