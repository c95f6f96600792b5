#include "sheet_cells.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::workbook {

bool ParseReference(std::string_view reference, std::uint32_t& row, std::uint32_t& column) {
  std::size_t i = 0;
  std::uint64_t col = 0;
  while (i < reference.size() && i < 4 && reference[i] >= 'A' && reference[i] <= 'Z')
    col = col * 26 + static_cast<std::uint64_t>(reference[i++] - 'A' + 1);
  std::uint64_t number = 0;
  const std::size_t digits = i;
  while (i < reference.size() && i - digits < 8 && reference[i] >= '0' && reference[i] <= '9')
    number = number * 10 + static_cast<std::uint64_t>(reference[i++] - '0');
  if (col == 0 || i == digits || i != reference.size() || number == 0) return false;
  row = static_cast<std::uint32_t>(std::min<std::uint64_t>(number, UINT32_MAX));
  column = static_cast<std::uint32_t>(col);
  return true;
}

std::string ColumnName(std::uint32_t column) {
  std::string name;
  for (; column > 0; column = (column - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
  return name;
}

void BeyondSheetLimits(const std::string& what) {
  throw PartsError("the sheet holds " + what + ", beyond the limits (" +
                   std::to_string(kMaxSheetRows) + " rows, " + std::to_string(kMaxSheetColumns) +
                   " columns, " + std::to_string(kMaxSheetCells) + " cells)");
}

void RefuseSheet(const std::vector<std::string>& sheets, const std::optional<std::string>& sheet) {
  if (!sheet) throw PartsError("the workbook has no worksheet");
  std::string names;
  for (const std::string& name : sheets) {
    if (!names.empty()) names += ", ";
    names += Quoted(name);
  }
  throw PartsError("the workbook has no sheet named " + Quoted(*sheet) + "; its sheets are " +
                   names);
}

namespace {

class SheetReader final : public XmlHandler {
 public:
  SheetReader(const std::string& part, const SharedStringsReader& strings,
              std::vector<FormatKind> kinds, bool epoch1904)
      : part_(part), strings_(strings), kinds_(std::move(kinds)), epoch1904_(epoch1904) {}

  void Start(std::string_view name, const char** attributes) override {
    if (name == "row") {
      const char* r = Attribute(attributes, "r");
      std::uint32_t number = row_ + 1;
      if (r != nullptr) {
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(r, r + std::strlen(r), value);
        if (error != std::errc() || *end != '\0' || value == 0) Damaged("a row number", r);
        number = static_cast<std::uint32_t>(std::min<std::uint64_t>(value, UINT32_MAX));
      }
      if (number > kMaxSheetRows) Outside("the row number", r);
      row_ = number;
      column_ = 0;
    } else if (name == "c") {
      inCell_ = true;
      const char* r = Attribute(attributes, "r");
      std::uint32_t row = row_ == 0 ? 1 : row_, column = column_ + 1;
      if (r != nullptr && !ParseReference(r, row, column)) Damaged("a cell reference", r);
      if (r != nullptr && (column > kMaxSheetColumns || row > kMaxSheetRows))
        Outside("the cell", r);
      if (column > kMaxSheetColumns)
        BeyondSheetLimits("a cell in column " + std::to_string(column));
      if (row > kMaxSheetRows) BeyondSheetLimits(std::to_string(row) + " rows");
      cellRow_ = row;
      column_ = column;
      const char* type = Attribute(attributes, "t");
      type_ = type != nullptr ? type : "n";
      const char* style = Attribute(attributes, "s");
      style_ = style != nullptr ? static_cast<std::size_t>(std::strtoull(style, nullptr, 10)) : 0;
      value_.clear();
      hasValue_ = hasFormula_ = inValue_ = inInline_ = false;
    } else if (inCell_) {
      if (name == "v") {
        inValue_ = hasValue_ = true;
      } else if (name == "f") {
        hasFormula_ = true;
      } else if (name == "is") {
        inInline_ = hasValue_ = true;
      } else if (inInline_) {
        inline_.Start(name);
      }
    }
  }

  void End(std::string_view name) override {
    if (name == "c" && inCell_) {
      inCell_ = false;
      Keep();
    } else if (name == "v") {
      inValue_ = false;
    } else if (name == "is") {
      inInline_ = false;
    } else if (inInline_) {
      inline_.End(name);
    }
  }

  void Text(std::string_view text) override {
    if (inValue_) {
      value_.append(text);
    } else if (inInline_) {
      inline_.Text(text, value_);
    }
    if (value_.size() > kMaxWorkbookPartBytes) BeyondSheetLimits("a cell that long");
  }

  std::vector<CellRecord> cells;
  std::string text;  // the sheet's own texts
  std::vector<std::size_t> formulasWithoutValue;
  SheetCells blanks;  // its blankEnds alone

 private:
  [[noreturn]] void Damaged(const char* what, std::string_view found) const {
    throw PartsError("the workbook's part " + part_ + " is damaged: " + what + " " + Quoted(found));
  }
  // A place named outside any sheet: the workbook is damaged there.
  [[noreturn]] void Outside(const char* what, std::string_view found) const {
    throw PartsError("the workbook's part " + part_ + " is damaged: " + what + " " + Quoted(found) +
                     " is outside a sheet (rows 1 to " + std::to_string(kMaxSheetRows) +
                     ", columns A to " + ColumnName(kMaxSheetColumns) + ")");
  }

  void KeepOwn(std::string_view shown, std::string_view stored = {}, bool number = false,
               CellKind kind = CellKind::Text) {
    cells.push_back(
        {cellRow_, column_, false, number, text.size(), shown.size(), stored.size(), kind});
    text.append(shown);
    text.append(stored);
  }

  void Keep() {
    if (cells.size() >= kMaxSheetCells) BeyondSheetLimits("more cells");
    // A formula's value as saved; a formula saved without one (an empty
    // value but for a formula of text) is read as an empty cell.
    if (!hasValue_ || (hasFormula_ && value_.empty() && type_ != "str")) {
      if (hasFormula_) formulasWithoutValue.push_back(cellRow_);
      blanks.KeepBlank(cellRow_, column_);
      return;  // an empty cell (formatting only)
    }
    if (type_ == "s") {
      std::uint64_t index = 0;
      const auto [end, error] =
          std::from_chars(value_.data(), value_.data() + value_.size(), index);
      if (error != std::errc() || end != value_.data() + value_.size() ||
          index >= strings_.spans.size())
        Damaged("a shared string's number", value_);
      const auto [start, length] = strings_.spans[static_cast<std::size_t>(index)];
      cells.push_back({cellRow_, column_, true, false, start, length, 0});
    } else if (type_ == "inlineStr") {
      UndoEscapes(value_);
      KeepOwn(value_);
    } else if (type_ == "b") {
      KeepOwn(value_ == "1" || value_ == "true" ? "TRUE" : "FALSE", {}, false, CellKind::Boolean);
    } else if (type_ == "d") {
      const std::string shown = IsoDateText(value_);
      KeepOwn(shown, {}, false, shown == value_ ? CellKind::Text : CellKind::Date);
    } else if (type_ == "str" || type_ == "e") {
      if (type_ == "str") UndoEscapes(value_);
      KeepOwn(value_);
    } else {
      const FormatKind kind = style_ < kinds_.size() ? kinds_[style_] : FormatKind::Number;
      std::string shown =
          kind == FormatKind::Number ? std::string() : SerialDateText(value_, kind, epoch1904_);
      if (!shown.empty()) {
        KeepOwn(shown, {}, false, CellKind::Date);
        return;
      }
      shown = GeneralNumber(value_);
      if (shown.empty()) {
        KeepOwn(value_);  // not a number after all: its text
      } else {
        KeepOwn(shown, value_, true);
      }
    }
  }

  const std::string& part_;
  const SharedStringsReader& strings_;
  std::vector<FormatKind> kinds_;
  bool epoch1904_;
  std::uint32_t row_ = 0, column_ = 0, cellRow_ = 0;
  bool inCell_ = false, inValue_ = false, inInline_ = false, hasValue_ = false, hasFormula_ = false;
  std::string type_, value_;
  std::size_t style_ = 0;
  StringText inline_;
};

}  // namespace

SheetCells ReadSheetCells(ZipEntries& zip, const std::string& part,
                          const SharedStringsReader& strings, std::vector<FormatKind> kinds,
                          bool epoch1904) {
  SheetReader reader(part, strings, std::move(kinds), epoch1904);
  ParsePart(zip, part, reader, true);
  // Cells in the sheet's order; one place written twice is damage.
  std::vector<CellRecord>& cells = reader.cells;
  std::stable_sort(cells.begin(), cells.end(), [](const CellRecord& a, const CellRecord& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  for (std::size_t i = 1; i < cells.size(); ++i)
    if (cells[i].row == cells[i - 1].row && cells[i].column == cells[i - 1].column)
      throw PartsError("the workbook's part " + part + " is damaged: the cell " +
                       ColumnName(cells[i].column) + std::to_string(cells[i].row) +
                       " is written twice");
  SheetCells read{
      std::move(cells), std::move(reader.text), std::move(reader.formulasWithoutValue), {}};
  read.blankEnds = std::move(reader.blanks.blankEnds);
  return read;
}

}  // namespace ztxgrp::workbook
