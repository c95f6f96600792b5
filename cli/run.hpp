// Carrying out one command: read the items, call the component, write the
// result. Failures are thrown; main turns them into messages (failure.hpp).
#pragma once

#include "io.hpp"
#include "options.hpp"

namespace ztxgrp::cli {

// The exit status of a command that ran to its end.
int Run(const Options& options, InputBuffer& in, OutputWriter& out);

}  // namespace ztxgrp::cli
