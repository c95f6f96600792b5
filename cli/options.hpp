// What the command line asked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ztxgrp/values.hpp"

namespace ztxgrp::cli {

enum class Command { Group, Ungroup, Expand, Check, Bom, Diff };

// What `ztxgrp bom` was asked for (and `ztxgrp diff`, of its OLD list).
struct BomOptions {
  std::string file;                   // empty or "-": standard input
  std::optional<std::string> output;  // none: standard output
  std::optional<char> separator;      // none: detected from the header line
  std::optional<std::string> refs;    // the designator column
  std::optional<std::string> qty;     // the quantity column
  std::vector<std::string> by;        // key columns; empty: all others
  std::string join = ", ";            // between grouped entries
  bool expand = false;                // one row per designator instead
  bool strict = false;                // duplicated designators are an error
};

// What `ztxgrp diff` was asked for beyond the parts-list options.
struct DiffOptions {
  std::string newFile;  // "-": standard input
  bool all = false;     // also unchanged designators
  bool csv = false;     // a CSV table
  bool json = false;    // JSON
};

struct Options {
  Command command = Command::Group;
  std::vector<std::string> items;   // empty: read standard input
  bool split = false;               // split at commas and blanks first
  std::optional<std::string> join;  // join the output with this separator
  bool json = false;                // JSON on standard input and output
  int minRun = kSystemMinRun;       // group, bom: the shortest run written as a range
  BomOptions bom;                   // bom and diff
  DiffOptions diff;                 // diff only
};

// Exit statuses of the command.
enum ExitStatus : int {
  kSuccess = 0,
  kInvalidRange = 1,  // check answered false for some text; diff found changes
  kUsageError = 2,    // bad options or unreadable input
  kRuntimeError = 3,  // the engine raised a runtime error
};

}  // namespace ztxgrp::cli
