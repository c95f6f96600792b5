// Writing results: one item per line (or joined with a separator), or JSON.
// Each element is written and released in turn, so that a large result is
// never held twice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {

// The elements of a result list as text, separated by `separator`, ending
// with "\n". An empty element is the empty text.
void WriteLines(OutputWriter& out, Value&& result, std::string_view separator);
void WriteLines(OutputWriter& out, std::vector<std::string>&& result, std::string_view separator);

// The result list as a compact JSON array of strings; an empty element is null.
void WriteJsonList(OutputWriter& out, Value&& result);

// A Boolean as JSON, ending with "\n".
void WriteJsonBool(OutputWriter& out, bool value);

}  // namespace ztxgrp::cli
