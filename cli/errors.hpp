// The command's own failures; the engine's are RuntimeError. All of them are
// turned into a message and an exit status in one place (failure.hpp).
#pragma once

#include <cstddef>
#include <stdexcept>

#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp::cli {

// Arguments that do not make a valid command: exit status 2 with a hint to --help.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Input that cannot be used (unreadable, invalid UTF-8, malformed JSON): exit status 2.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Output that could not be written in full: exit status 2.
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A runtime error of the engine on a row of a CSV file: exit status 3, with
// the line the row starts on.
class RowError : public RuntimeError {
 public:
  RowError(const RuntimeError& error, std::size_t line) : RuntimeError(error), line_(line) {}
  std::size_t line() const noexcept { return line_; }

 private:
  std::size_t line_;
};

}  // namespace ztxgrp::cli
