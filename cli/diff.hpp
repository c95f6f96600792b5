// ztxgrp diff: two parts lists compared.
#pragma once

#include "io.hpp"
#include "options.hpp"

namespace ztxgrp::cli {

// Reads OLD and NEW (at most one from `in`), writes the changes to `out` or
// the output file: for people, as CSV or as JSON. kSuccess when the lists
// agree, kInvalidRange when they differ. Errors as for bom.
int RunDiff(const Options& options, InputBuffer& in, OutputWriter& out);

}  // namespace ztxgrp::cli
