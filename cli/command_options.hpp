// Registering the options that more than one command takes, and the
// parts-list commands (bom, diff), with the command-line parser.
#pragma once

#include <CLI/CLI.hpp>

#include "options.hpp"

namespace ztxgrp::cli {

// --min-run N for group, bom and diff.
void AddMinRun(CLI::App* sub, int& minRun);
void AddBomCommand(CLI::App& app, Options& options);
void AddDiffCommand(CLI::App& app, Options& options);
void AddGitDiffCommand(CLI::App& app, Options& options);

}  // namespace ztxgrp::cli
