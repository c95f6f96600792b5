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

std::optional<DateParts> DatePartsOf(std::string_view text) {
  const auto number = [&](std::size_t at, std::size_t digits, int& into) {
    if (at + digits > text.size()) return false;
    into = 0;
    for (std::size_t k = at; k < at + digits; ++k) {
      if (text[k] < '0' || text[k] > '9') return false;
      into = into * 10 + (text[k] - '0');
    }
    return true;
  };
  DateParts parts;
  std::size_t at = 0;
  if (text.size() >= 10 && text[4] == '-') {
    if (!number(0, 4, parts.year) || text[4] != '-' || !number(5, 2, parts.month) ||
        text[7] != '-' || !number(8, 2, parts.day) || parts.year < 1900 || parts.month < 1 ||
        parts.month > 12 || parts.day < 1 || parts.day > 31)
      return std::nullopt;
    parts.date = true;
    at = 10;
    if (at == text.size()) return parts;
    if (text[at] != ' ') return std::nullopt;
    ++at;
  }
  if (text.size() != at + 8 || !number(at, 2, parts.hour) || text[at + 2] != ':' ||
      !number(at + 3, 2, parts.minute) || text[at + 5] != ':' || !number(at + 6, 2, parts.second) ||
      parts.hour > 23 || parts.minute > 59 || parts.second > 59)
    return std::nullopt;
  parts.time = true;
  return parts;
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
