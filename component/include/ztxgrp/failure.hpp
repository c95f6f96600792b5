// One description of a failure of the component or the parts-list library:
// what kind it is, its runtime error number, description and item, and where
// it happened (which list, which line of a file or row of the rows), with
// the one-line message worded once, here. Each front end renders it in its
// own idiom (an exit status and message, a Python exception with
// attributes, a JavaScript error with properties) and words nothing itself.
#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <string>

namespace ztxgrp {

struct Failure {
  enum class Kind {
    Runtime,   // a runtime error of the engine (7 when memory ran out)
    Argument,  // a table, column, cell, option or file that cannot be used as given
    Encoding,  // a text that is not UTF-8
    Internal,  // anything else: a fault of ours
  };
  Kind kind = Kind::Internal;
  int number = 0;                      // Runtime: the error number
  std::string description;             // Runtime: its description
  std::optional<std::u16string> item;  // Runtime: the offending item, where known
  // Where: the table's word for a row ("line", "row", "old.csv line") and
  // its number; an empty noun and 0 where no row is at fault.
  std::string noun;
  std::size_t row = 0;
  // Which of two compared lists ("the old list", "\"old.csv\""); empty for one list.
  std::string list;
  // An option's value at fault, as the front end spells it ("--min-run 1",
  // "min_run=1"); empty otherwise.
  std::string option;
  std::string message;  // "runtime error 9: ...: "R3-R1" (line 2)", "line 2: a lone dash ..."
};

// Describes `failure` (an exception of any kind). A bad_alloc or
// length_error is runtime error 7. May itself throw bad_alloc, when memory
// is too short to describe it: a front end then reports error 7 alone.
Failure describe_failure(std::exception_ptr failure);

}  // namespace ztxgrp
