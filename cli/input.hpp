// The items of one command: its ITEM arguments, or the lines of standard
// input, each optionally read as a parts-list cell is read (designators
// separated by commas, semicolons, blanks, no-break spaces, line breaks;
// "C1 - C4" a range: ztxgrp/designator_split.hpp).
//
// Items are produced one at a time, so that a command can stop reading as soon
// as more input cannot change its answer, and every message names the line or
// argument that an item came from.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "io.hpp"
#include "options.hpp"

namespace ztxgrp::cli {

class ItemSource {
 public:
  // `refuseLineBreaks`: an item that holds "\n" or "\r" is an InputError,
  // for output that writes one item per line.
  ItemSource(const ListOptions& options, InputBuffer& in, bool refuseLineBreaks);

  // The next item, checked to be UTF-8; false when there are no more.
  // Invalid UTF-8 is an InputError naming the line or argument.
  bool Next(std::string& item);

  // "line 3" or "argument 2": where the item last returned came from.
  std::string Where() const;

 private:
  bool NextEntry();
  // The checks that every line or argument passes (split, its line breaks
  // separate items).
  void Check(std::string_view text) const;

  const std::vector<std::string>& arguments_;
  InputBuffer& in_;
  bool fromArguments_;
  bool split_;
  bool expandRanges_;  // split: a range's designators instead of the range
  bool refuseLineBreaks_;
  std::size_t number_ = 0;  // 1-based number of the current line or argument
  std::string entry_;
  std::vector<std::string> pieces_;  // split: the current entry's pieces
  std::size_t next_ = 0;             // the next of them
};

}  // namespace ztxgrp::cli
