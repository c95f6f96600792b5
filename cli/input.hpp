// The items of one command: its ITEM arguments, or the lines of standard
// input, each optionally split where designators are separated (commas,
// semicolons, blanks, no-break spaces, line breaks: ztxgrp/designator_split.hpp).
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
  ItemSource(const Options& options, InputBuffer& in, bool refuseLineBreaks);

  // The next item, checked to be UTF-8; false when there are no more.
  // Invalid UTF-8 is an InputError naming the line or argument.
  bool Next(std::string& item);

  // "line 3" or "argument 2": where the item last returned came from.
  std::string Where() const;

 private:
  bool NextEntry();
  // The checks that every item passes.
  // `offset`: where `text` starts within its line or argument.
  void Check(std::string_view text, std::size_t offset = 0) const;

  const std::vector<std::string>& arguments_;
  InputBuffer& in_;
  bool fromArguments_;
  bool split_;
  bool refuseLineBreaks_;
  std::size_t number_ = 0;  // 1-based number of the current line or argument
  std::string entry_;
  std::size_t at_ = 0;  // position of the next piece in `entry_`
  bool haveEntry_ = false;
};

}  // namespace ztxgrp::cli
