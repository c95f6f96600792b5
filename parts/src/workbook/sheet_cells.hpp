// A worksheet's cells, read as a stream: each cell's place and where its
// shown text (and, for a number, its stored text) is, in the sheet's own
// block of text or among the shared strings.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "package_parts.hpp"

namespace ztxgrp::workbook {

// A cell's place in the sheet, 1-based. False when the reference is no
// cell reference.
bool ParseReference(std::string_view reference, std::uint32_t& row, std::uint32_t& column);

// A column's letters: 1 is A, 27 is AA.
std::string ColumnName(std::uint32_t column);

// A sheet beyond the limits a sheet may hold: PartsError saying `what`.
[[noreturn]] void BeyondSheetLimits(const std::string& what);

// No sheet of the workbook's `sheets` is the one asked for (none asked: no
// worksheet at all): PartsError naming the sheets there are.
[[noreturn]] void RefuseSheet(const std::vector<std::string>& sheets,
                              const std::optional<std::string>& sheet);

// A cell as read: its place and where its text is.
struct CellRecord {
  std::uint32_t row, column;
  bool shared;        // text in the shared strings, else in the sheet's own block
  bool number;        // a number: its stored text follows its shown text
  std::size_t start;  // in its block
  std::size_t length;
  std::size_t storedLength;        // numbers: the stored text, after the shown one
  CellKind kind = CellKind::Text;  // a date or a Boolean; numbers are `number`
};

// The cells of a worksheet part, in the sheet's order (row, then column).
struct SheetCells {
  std::vector<CellRecord> cells;
  std::string text;                               // the sheet's own texts
  std::vector<std::size_t> formulasWithoutValue;  // their rows
  // Rows with cells that show nothing (formatted only): the row and its
  // last such cell's column, a row once, in the sheet's order.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> blankEnds;

  void KeepBlank(std::uint32_t row, std::uint32_t column) {
    if (!blankEnds.empty() && blankEnds.back().first == row)
      blankEnds.back().second = std::max(blankEnds.back().second, column);
    else
      blankEnds.emplace_back(row, column);
  }
};

// Reads the worksheet `part` with its shared strings, its cell formats'
// kinds and its date system. PartsError for a damaged part (a cell written
// twice among them) or one beyond a sheet's limits.
SheetCells ReadSheetCells(ZipEntries& zip, const std::string& part,
                          const SharedStringsReader& strings, std::vector<FormatKind> kinds,
                          bool epoch1904);

}  // namespace ztxgrp::workbook
