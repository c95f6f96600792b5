// How every front end words a runtime error: "runtime error N: DESCRIPTION",
// then the offending item in the shared quoted form, then where it happened.
// The command writes the parts on lines of their own; Python, JavaScript and
// the COM error information use the one-line message.
#pragma once

#include <string>
#include <string_view>

#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

// "runtime error 9: Subscript out of range".
std::string RuntimeErrorHead(const RuntimeError& error);

// The head, the item quoted (`: "R3-R1"`) when known, and `context` in
// parentheses when given (" (line 3)").
std::string RuntimeErrorMessage(const RuntimeError& error, std::string_view context = {});

}  // namespace ztxgrp
