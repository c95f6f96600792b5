#include "input.hpp"

#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
ItemSource::ItemSource(const Options& options, InputBuffer& in, bool refuseLineBreaks)
    : arguments_(options.items),
      in_(in),
      fromArguments_(!options.items.empty()),
      split_(options.split),
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
  at_ = 0;
  return true;
}

void ItemSource::Check(std::string_view text, std::size_t offset) const {
  if (refuseLineBreaks_ && text.find_first_of("\r\n") != std::string_view::npos)
    throw InputError(Where() +
                     " holds a line break, which output of one item per line cannot show; "
                     "use --json");
  try {
    CheckUtf8(text);
  } catch (const EncodingError& error) {
    if (offset == 0) throw InputError(std::string(error.what()) + " in " + Where());
    throw InputError("invalid UTF-8 at byte " + std::to_string(offset + error.offset()) + " of " +
                     Where());
  }
}

bool ItemSource::Next(std::string& item) {
  if (!split_) {
    if (!NextEntry()) return false;
    Check(entry_);
    item = std::move(entry_);
    return true;
  }
  for (;;) {
    if (haveEntry_) {
      const std::string_view entry = entry_;
      for (std::size_t n; at_ < entry.size() && (n = DesignatorSeparatorLength(entry, at_)) != 0;)
        at_ += n;
      if (at_ < entry.size()) {
        std::size_t end = at_;
        while (end < entry.size() && DesignatorSeparatorLength(entry, end) == 0) ++end;
        item.assign(entry_, at_, end - at_);
        Check(item, at_);
        at_ = end;
        return true;
      }
    }
    haveEntry_ = NextEntry();
    if (!haveEntry_) return false;
  }
}

}  // namespace ztxgrp::cli
