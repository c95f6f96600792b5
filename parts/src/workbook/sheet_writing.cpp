#include "sheet_writing.hpp"

#include <algorithm>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::workbook {

std::string SheetName(std::string name) {
  for (char& c : name)
    if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos) c = '_';
  while (!name.empty() && name.front() == '\'') name.erase(0, 1);
  while (!name.empty() && name.back() == '\'') name.pop_back();
  std::u16string units = Utf8ToUtf16(name);
  if (units.size() > 31) {
    units.resize(31);
    if (units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back();
    name = Utf16ToUtf8(units);
  }
  return name.empty() ? "Sheet1" : name;
}

void CheckSheetPlace(std::size_t row, std::size_t column) {
  if (row >= kMaxSheetRows || column >= kMaxSheetColumns)
    throw PartsError("the table is larger than a sheet holds (" + std::to_string(kMaxSheetRows) +
                     " rows, " + std::to_string(kMaxSheetColumns) + " columns)");
}

double WidthOf(std::string_view text) {
  return static_cast<double>(std::min<std::size_t>(Utf16Length(text), 1000));
}

double ColumnWidth(double widest) {
  // A margin of two characters; never narrower than a spreadsheet's own
  // columns, never wider than 60 characters.
  return std::clamp(widest + 2, 8.0, 60.0);
}

}  // namespace ztxgrp::workbook
