// The designators of a parts-list cell, read as the engine reads them, with
// one exception for designators that hold a hyphen.
//
// A cell holds pieces separated by commas and/or blanks ("R1, R3-R5 R9").
// A piece without "-" is an item. A piece with "-" is a range only when its
// two halves (cut at the first "-") read as numbered items of the same
// prefix; the engine expands it, with its errors (R3-R1 fails with 9). Any
// other piece with "-" (Half-Bridge_DO1301) is one designator, kept exactly
// as written and never folded into a range: the engine alone would read it as
// a range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ztxgrp::cli {

// The engine's order of a text: its reading as prefix and number.
struct DesignatorKey {
  std::u16string prefix;
  std::int16_t number = -1;
  friend auto operator<=>(const DesignatorKey&, const DesignatorKey&) = default;
};

// The designators of one or more cells.
struct Designators {
  std::vector<std::u16string> items;     // single items, as the engine writes them
  std::vector<std::u16string> literals;  // pieces with "-" that are no range
  std::size_t size() const { return items.size() + literals.size(); }
};

// Adds the designators of `cell` (UTF-8) to `out`. Errors: the engine's
// RuntimeError for a piece that it cannot read or expand.
void ReadCell(std::string_view cell, Designators& out);

// The key of a designator's text. Errors: the engine's, for a text that it
// cannot read.
DesignatorKey KeyOf(std::u16string_view text);

// The key of a grouped entry: a range orders by its first item.
DesignatorKey KeyOfEntry(std::u16string_view entry);

// Grouped entries ("R1-R3", "R5") with the literals placed where the
// engine's order puts their own texts. Errors: those of grouping.
std::vector<std::u16string> GroupDesignators(const Designators& designators, int minRun);

// Every designator on its own, in the engine's order.
std::vector<std::u16string> ExpandDesignators(const Designators& designators);

}  // namespace ztxgrp::cli
