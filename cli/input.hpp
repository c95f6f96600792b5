// Reading items from arguments or standard input.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {

// Input that cannot be used (invalid UTF-8, malformed JSON): exit status 2.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// All of a stream, as bytes.
std::string ReadAll(std::istream& in);

// The lines of `data`: split at "\n", a trailing "\r" dropped from each, no
// item for the end of the last line. Lines are kept verbatim otherwise.
std::vector<std::string> SplitLines(const std::string& data);

// Pieces of `text` between commas and blanks, empty pieces dropped.
std::vector<std::string> SplitAtSeparators(const std::string& text);

// The items as a list of texts; `source` names them in error messages
// ("argument", "line").
Value ItemsToList(const std::vector<std::string>& items, const char* source);

}  // namespace ztxgrp::cli
