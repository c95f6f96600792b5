// What writing a sheet takes in either form of workbook: the sheet's name
// as spreadsheets take it, a cell's place checked against a sheet's size,
// and the width a column is made to fit its texts.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::workbook {

// A name spreadsheets take for a sheet: at most 31 characters, none of
// []:*?/\ and no quote at either end; "Sheet1" when nothing is left.
std::string SheetName(std::string name);

// PartsError when a cell at `row`, `column` (0-based) is outside a sheet.
void CheckSheetPlace(std::size_t row, std::size_t column);

// A column's width in characters for a text shown in it, before the
// margin and limits of ColumnWidth.
double WidthOf(std::string_view text);
// The width a column is given for its widest text's WidthOf.
double ColumnWidth(double widest);

// A date cell's text as read ("2026-12-08", "10:30:00" or
// "2026-12-08 10:30:00"), taken apart; none for any other text (a time past
// a day, a date before 1900).
struct DateParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool date = false, time = false;
};
std::optional<DateParts> DatePartsOf(std::string_view text);

// The sheets as an OpenDocument spreadsheet (.ods).
std::string WriteOpenDocument(std::span<const WorkbookSheet> sheets);

}  // namespace ztxgrp::workbook
