// The add-in's functions on the values Calc passes, apart from UNO: a
// range's cells (or one value) read as parts-list cells are read, through
// the component and the parts library, so that a sheet gets what
// `ztxgrp group -s`, `ungroup -s`, `expand` and `check` give.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace ztxgrp::calc {

// A cell's value as Calc passes it: empty, a text or a number.
struct SheetValue {
  enum class Kind { Empty, Text, Number };
  Kind kind = Kind::Empty;
  std::u16string text;
  double number = 0;
};

// The text a cell holds as a sheet shows it: a number in the General
// format, nothing for an empty cell. EncodingError for an unpaired
// surrogate.
std::string CellText(const SheetValue& value);

// Errors: ztxgrp's (runtime errors with their numbers, PartsError for a
// cell that cannot be read, EncodingError); runtime error 6 once the cells
// hold more designators than a list may.
std::string GroupCells(std::span<const SheetValue> cells, std::string_view join, int min_run);
std::string UngroupCells(std::span<const SheetValue> cells, std::string_view join);
std::string ExpandRange(const SheetValue& range, std::string_view join);
bool CheckRange(const SheetValue& range);
std::size_t CountDesignators(std::span<const SheetValue> cells);
// Two ranges as sets: union (0), intersection (1) or the first less the
// second (2), joined.
std::string CombineCells(int operation, std::span<const SheetValue> first,
                         std::span<const SheetValue> second, std::string_view join, int min_run);
// The `count` lowest free numbers of `prefix`, joined; runtime error 9 when
// fewer are left (a sheet shows no warning).
std::string FreeNumbers(std::span<const SheetValue> cells, const SheetValue& prefix,
                        std::size_t count, std::string_view join, int min_run);

}  // namespace ztxgrp::calc
