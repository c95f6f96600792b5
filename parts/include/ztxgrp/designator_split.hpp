// Where designators are separated, in a parts-list cell and in a pasted or
// typed list alike: commas, semicolons, blanks (space, tab, no-break space)
// and line breaks, and the caller's join separator when it has one. The one
// rule that `ztxgrp bom`, `ztxgrp group -s` and the web page split by.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ztxgrp {

// The length in code units of the separator that starts at `at`, or 0. For
// UTF-8 text the no-break space is its two bytes.
template <typename Char>
constexpr std::size_t DesignatorSeparatorLength(std::basic_string_view<Char> text,
                                                std::size_t at) noexcept {
  switch (text[at]) {
    case Char(','):
    case Char(';'):
    case Char(' '):
    case Char('\t'):
    case Char('\r'):
    case Char('\n'):
      return 1;
    default:
      break;
  }
  if constexpr (sizeof(Char) == 1) {
    return text.substr(at, 2) == std::basic_string_view<Char>("\xC2\xA0", 2) ? 2 : 0;
  } else {
    return text[at] == Char(0xA0) ? 1 : 0;
  }
}

// Appends the pieces of `text` between separators and occurrences of `join`
// (none when empty) to `pieces`, in order; no piece is empty.
template <typename Char>
void SplitDesignators(std::basic_string_view<Char> text, std::basic_string_view<Char> join,
                      std::vector<std::basic_string_view<Char>>& pieces) {
  std::size_t start = 0, at = 0;
  auto cut = [&](std::size_t end) {
    if (end > start) pieces.push_back(text.substr(start, end - start));
  };
  while (at < text.size()) {
    std::size_t length = DesignatorSeparatorLength(text, at);
    if (length == 0 && !join.empty() && text.substr(at).starts_with(join)) length = join.size();
    if (length == 0) {
      ++at;
      continue;
    }
    cut(at);
    at += length;
    start = at;
  }
  cut(at);
}

}  // namespace ztxgrp
