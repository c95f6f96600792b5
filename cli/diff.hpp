// ztxgrp diff: two parts lists compared.
#pragma once

#include "io.hpp"
#include "options.hpp"

namespace ztxgrp::cli {

// Reads OLD and NEW (at most one from `in`), writes the changes to `out` or
// the output file: for people, as CSV or as JSON. kSuccess when the lists
// agree, kListsDiffer when they differ. Errors as for bom.
int RunDiff(const PartsListCommand& diff, InputBuffer& in, OutputWriter& out);

// ztxgrp git-diff: git's external diff driver. Takes the seven words git
// passes (PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE; /dev/null
// for a side that has no file, an empty list) or, for an unmerged path, the
// path alone; writes the changes for people under a line naming the path.
// kSuccess whether the lists differ or not: git takes any other status for
// a failure. Errors as for diff.
int RunGitDiff(const PartsListCommand& git, InputBuffer& in, OutputWriter& out);

}  // namespace ztxgrp::cli
