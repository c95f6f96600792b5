// Every failure of the command becomes one message on standard error and an
// exit status here, and only here.
#pragma once

#include <exception>

namespace ztxgrp::cli {

// Writes the message for `failure` and returns the exit status: 3 for a
// runtime error (exhausted memory anywhere is runtime error 7), 2 for usage,
// input and output errors. Never throws.
int ReportFailure(std::exception_ptr failure) noexcept;

}  // namespace ztxgrp::cli
