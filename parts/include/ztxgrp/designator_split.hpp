// Where designators are separated, in a parts-list cell and in a pasted or
// typed list alike: commas, semicolons, blanks (space, tab, no-break space)
// and line breaks, and the caller's join separator when it has one. The one
// rule that `ztxgrp bom`, `ztxgrp group -s` and the web page split by.
#pragma once

#include <cstddef>
#include <string>
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

// A text read as a parts-list cell is read, for `group -s` and `ungroup -s`:
// its pieces in order, a range typed with blanks around its dash joined
// ("C1 - C4, C6" gives "C1-C4", "C6"); none for a cell that is only "-",
// "–" or "—". PartsError for a lone dash that joins no range;
// EncodingError for invalid UTF-8.
std::vector<std::string> cell_pieces(std::string_view cell, std::string_view join);

// The designators of such a text, ranges expanded, each as written ("C1 -
// C4, C6" gives C1, C2, C3, C4, C6). Errors as cell_pieces', those of
// reading a cell (a range whose ends would change their texts; the
// engine's runtime errors, naming the piece), and runtime error 6 once
// there are more than `limit` designators (a text of many ranges is not
// expanded past it).
std::vector<std::string> cell_designators(std::string_view cell, std::string_view join,
                                          std::size_t limit);

}  // namespace ztxgrp
