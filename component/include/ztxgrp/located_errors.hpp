// The failures that know where they happened, beside the engine's runtime
// errors: an argument that cannot be used as given (a table, column, cell,
// option or file), a runtime error on a row of a table, and a runtime error
// of an option's value. describe_failure (failure.hpp) reads them alike for
// every front end.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

// Where a failure happened, as every message words it: the list (empty for
// one list), then the row ("the old list, line 2", "line 2", "the new list");
// empty when neither is known.
std::string located_at(std::string_view list, std::string_view noun, std::size_t row);

// An argument that cannot be used as given. `row()` is the number of the row
// at fault (0: none), `noun()` the table's word for it ("line", "row"),
// `list()` which of two compared lists ("the old list"; empty for one list).
class ArgumentError : public std::invalid_argument {
 public:
  explicit ArgumentError(const std::string& message, std::size_t row = 0, std::string noun = "row",
                         std::string list = {})
      : std::invalid_argument(message), row_(row), noun_(std::move(noun)), list_(std::move(list)) {}
  std::size_t row() const noexcept { return row_; }
  const std::string& noun() const noexcept { return noun_; }
  const std::string& list() const noexcept { return list_; }
  // The message as every front end words it, after where it happened:
  // "line 2: ...", "the old list, line 2: ...", "the new list: ...".
  std::string located() const {
    const std::string where = located_at(list_, noun_, row_);
    return where.empty() ? std::string(what()) : where + ": " + what();
  }

 private:
  std::size_t row_;
  std::string noun_;
  std::string list_;
};

// A runtime error of the engine on a row, named by its number and by the
// table's word for a row ("row", "line"), and by its list in a comparison.
class RowError : public RuntimeError {
 public:
  RowError(const RuntimeError& error, std::size_t row, std::string_view noun = "row",
           std::string list = {})
      : RuntimeError(error), row_(row), noun_(noun), list_(std::move(list)) {}
  std::size_t row() const noexcept { return row_; }
  const std::string& noun() const noexcept { return noun_; }
  const std::string& list() const noexcept { return list_; }

 private:
  std::size_t row_;
  std::string noun_;
  std::string list_;
};

// A runtime error of an option's value, naming the option as the front end
// spells it and the value ("min_run=1", "--min-run 1").
class OptionValueError : public RuntimeError {
 public:
  OptionValueError(const RuntimeError& error, std::string option)
      : RuntimeError(error), option_(std::move(option)) {}
  const std::string& option() const noexcept { return option_; }

 private:
  std::string option_;
};

}  // namespace ztxgrp
