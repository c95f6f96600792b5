#include "input.hpp"

#include "errors.hpp"
#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
ItemSource::ItemSource(const ListOptions& options, InputBuffer& in, bool refuseLineBreaks)
    : arguments_(options.items),
      in_(in),
      fromArguments_(!options.items.empty()),
      split_(options.split),
      expandRanges_(options.kind == ListKind::Group),
      refuseLineBreaks_(refuseLineBreaks) {}

std::string ItemSource::Where() const {
  return std::string(fromArguments_ ? "argument " : "line ") + std::to_string(number_);
}

bool ItemSource::NextEntry() {
  if (fromArguments_) {
    if (number_ == arguments_.size()) return false;
    entry_ = arguments_[number_++];
  } else {
    if (!in_.ReadLine(entry_)) return false;
    ++number_;
  }
  return true;
}

void ItemSource::Check(std::string_view text) const {
  if (refuseLineBreaks_ && !split_ && text.find_first_of("\r\n") != std::string_view::npos)
    throw InputError(Where() +
                     " holds a line break, which output of one item per line cannot show; "
                     "use --json");
  try {
    CheckUtf8(text);
  } catch (const EncodingError& error) {
    throw InputError(std::string(error.what()) + " in " + Where());
  }
}

bool ItemSource::Next(std::string& item) {
  if (!split_) {
    if (!NextEntry()) return false;
    Check(entry_);
    item = std::move(entry_);
    return true;
  }
  // Each line or argument is read as a parts-list cell is read ("C1 - C4"
  // is a range); grouping takes its designators, ranges expanded, and the
  // other commands its pieces, ranges as they are.
  while (next_ == pieces_.size()) {
    if (!NextEntry()) return false;
    Check(entry_);
    next_ = 0;
    try {
      pieces_ =
          expandRanges_ ? cell_designators(entry_, {}, kMaxListElements) : cell_pieces(entry_, {});
    } catch (const PartsError& error) {
      throw InputError(Where() + ": " + error.what());
    }
  }
  item = std::move(pieces_[next_++]);
  return true;
}

}  // namespace ztxgrp::cli
