// What the command line asked for, per command.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {

// The commands on lists of items.
enum class ListKind { Group, Ungroup, Expand, Check };

// What group, ungroup, expand and check were asked for.
struct ListOptions {
  ListKind kind = ListKind::Group;
  std::vector<std::string> items;   // empty: read standard input
  bool split = false;               // split at commas and blanks first
  std::optional<std::string> join;  // join the output with this separator
  bool json = false;                // JSON on standard input and output
  int minRun = kSystemMinRun;       // group: the shortest run written as a range
};

// What `ztxgrp bom`, `ztxgrp diff` and `ztxgrp git-diff` were asked for.
struct PartsListCommand {
  std::string file;                       // bom: FILE; diff: OLD. Empty or "-": standard input
  std::string newFile;                    // diff: NEW ("-": standard input)
  std::optional<std::string> output;      // none: standard output
  PartsOptions parts;                     // the library's options, as the flags set them
  bool strict = false;                    // bom: duplicated designators are an error
  bool csv = false;                       // diff: a CSV table
  bool json = false;                      // diff: JSON
  bool html = false;                      // diff: a self-contained HTML report
  std::vector<std::string> gitArguments;  // git-diff: the words git passes
  std::vector<std::string> placements;    // verify: the placement files
};

// Exit statuses of the command.
enum ExitStatus : int {
  kSuccess = 0,
  kInvalidRange = 1,  // check answered false for some text
  kListsDiffer = 1,   // diff found changes
  kUsageError = 2,    // bad options or unreadable input
  kRuntimeError = 3,  // the engine raised a runtime error
};

}  // namespace ztxgrp::cli
