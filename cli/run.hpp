// Carrying out one command: read the items, call the component, write the
// result. Errors become exit statuses and messages here, and only here.
#pragma once

#include <istream>
#include <ostream>

#include "options.hpp"

namespace ztxgrp::cli {

int Run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace ztxgrp::cli
