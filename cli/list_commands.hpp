// group, ungroup, expand and check carried out: read the items, call the
// component, write the result. Failures are thrown; main turns them into
// messages (failure.hpp).
#pragma once

#include "io.hpp"
#include "options.hpp"

namespace ztxgrp::cli {

// The exit status of a list command that ran to its end.
int RunList(const ListOptions& options, InputBuffer& in, OutputWriter& out);

}  // namespace ztxgrp::cli
