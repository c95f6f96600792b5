#include "ods_cells.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "cell_text.hpp"
#include "package_parts.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::workbook {
namespace {

// An attribute by its local name and namespace prefix ("calcext", "office").
// LibreOffice writes a cell's kind twice: office:value-type for the value it
// saved, calcext:value-type for what the cell shows (an error among them).
const char* PrefixedAttribute(const char** attributes, std::string_view prefix,
                              std::string_view name) noexcept {
  for (; attributes != nullptr && *attributes != nullptr; attributes += 2) {
    const std::string_view full(attributes[0]);
    if (full.size() == prefix.size() + 1 + name.size() && full.starts_with(prefix) &&
        full[prefix.size()] == ':' && full.ends_with(name))
      return attributes[1];
  }
  return nullptr;
}

// A repeat count as written: 1 when absent; damage when it is no whole
// number of 1 or more.
std::uint64_t RepeatOf(const char* text, const std::string& part) {
  if (text == nullptr) return 1;
  std::uint64_t value = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, value);
  if (error == std::errc::result_out_of_range) return UINT64_MAX;
  if (error != std::errc() || stop != end || value == 0)
    throw PartsError("the workbook's part " + part + " is damaged: a repeat count " + Quoted(text));
  return value;
}

// Elements inside a cell whose text is not the cell's: comments and drawn
// shapes anchored to it.
bool OutsideCellText(std::string_view name) {
  static constexpr std::string_view kNames[] = {
      "annotation", "frame",   "custom-shape", "g",         "rect",    "ellipse", "circle", "line",
      "polyline",   "polygon", "path",         "connector", "caption", "measure", "control"};
  return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

class ContentReader final : public XmlHandler {
 public:
  ContentReader(const std::string& part, const std::optional<std::string>& sheet)
      : part_(part), wanted_(sheet) {}

  void Start(std::string_view name, const char** attributes) override {
    if (tableDepth_ > 0 && name == "table") {
      ++tableDepth_;  // a table inside a cell: its text is the cell's
      return;
    }
    if (name == "table") {
      const char* sheetName = Attribute(attributes, "name");
      sheets.emplace_back(sheetName != nullptr ? sheetName : "");
      tableDepth_ = 1;
      reading_ = !chosen_ && (!wanted_ || *wanted_ == sheets.back());
      if (reading_) {
        chosen_ = true;
        name_ = sheets.back();
      }
      row_ = 0;
      return;
    }
    if (!reading_ || tableDepth_ != 1) return;
    if (skip_ > 0) {
      ++skip_;
      return;
    }
    if (name == "table-row" && !inCell_) {
      rowRepeat_ = RepeatOf(Attribute(attributes, "number-rows-repeated"), part_);
      rowCells_.clear();
      column_ = 0;
      rowBlank_ = 0;
    } else if ((name == "table-cell" || name == "covered-table-cell") && !inCell_) {
      StartCell(name == "covered-table-cell", attributes);
    } else if (inCell_ && OutsideCellText(name)) {
      skip_ = 1;
    } else if (inCell_ && (name == "p" || name == "h")) {
      if (paragraphs_++ > 0) paragraph_ += '\n';
      inParagraph_ = true;
      lastSpace_ = true;  // leading white space is no text
    } else if (inParagraph_ && name == "s") {
      const std::uint64_t count = RepeatOf(Attribute(attributes, "c"), part_);
      if (count >
          kMaxWorkbookPartBytes - std::min<std::uint64_t>(paragraph_.size(), kMaxWorkbookPartBytes))
        BeyondSheetLimits("a cell that long");
      paragraph_.append(static_cast<std::size_t>(count), ' ');
      lastSpace_ = false;
    } else if (inParagraph_ && name == "tab") {
      paragraph_ += '\t';
      lastSpace_ = false;
    } else if (inParagraph_ && name == "line-break") {
      paragraph_ += '\n';
      lastSpace_ = false;
    }
  }

  void End(std::string_view name) override {
    if (tableDepth_ > 1 && name == "table") {
      --tableDepth_;
      return;
    }
    if (tableDepth_ == 1 && name == "table") {
      tableDepth_ = 0;
      reading_ = false;
      return;
    }
    if (!reading_ || tableDepth_ != 1) return;
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (inCell_ && (name == "table-cell" || name == "covered-table-cell")) {
      EndCell();
    } else if (inCell_ && (name == "p" || name == "h")) {
      inParagraph_ = false;
    } else if (name == "table-row" && !inCell_) {
      EndRow();
    }
  }

  void Text(std::string_view text) override {
    if (!inParagraph_ || skip_ > 0) return;
    // Runs of white space in a paragraph are one space; spaces that count
    // are written as <text:s>.
    for (const char c : text) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        if (!lastSpace_) paragraph_ += ' ';
        lastSpace_ = true;
      } else {
        paragraph_ += c;
        lastSpace_ = false;
      }
    }
    if (paragraph_.size() > kMaxWorkbookPartBytes) BeyondSheetLimits("a cell that long");
  }

  bool Chosen() const noexcept { return chosen_; }
  const std::string& Name() const noexcept { return name_; }

  std::vector<std::string> sheets;
  std::vector<CellRecord> cells;
  std::string text;
  std::vector<std::size_t> formulasWithoutValue;
  SheetCells blanks;  // its blankEnds alone

 private:
  void StartCell(bool covered, const char** attributes) {
    inCell_ = true;
    covered_ = covered;
    columnRepeat_ = RepeatOf(Attribute(attributes, "number-columns-repeated"), part_);
    paragraph_.clear();
    paragraphs_ = 0;
    value_.clear();
    kind_ = Kind::Paragraphs;
    formula_ = Attribute(attributes, "formula") != nullptr;
    const char* shown = PrefixedAttribute(attributes, "calcext", "value-type");
    const char* type = PrefixedAttribute(attributes, "office", "value-type");
    if (type == nullptr) type = Attribute(attributes, "value-type");
    const std::string_view kind = type != nullptr ? type : "";
    const auto take = [&](const char* name) {
      const char* value = PrefixedAttribute(attributes, "office", name);
      if (value == nullptr) value = Attribute(attributes, name);
      if (value == nullptr) return false;
      value_ = value;
      return true;
    };
    if (shown != nullptr && std::string_view(shown) == "error") {
      kind_ = Kind::Paragraphs;  // an error value shows as its text ("#DIV/0!")
    } else if (kind == "float" || kind == "percentage" || kind == "currency") {
      if (take("value")) kind_ = Kind::Number;
    } else if (kind == "date") {
      if (take("date-value")) kind_ = Kind::Date;
    } else if (kind == "time") {
      if (take("time-value")) kind_ = Kind::Time;
    } else if (kind == "boolean") {
      if (take("boolean-value")) kind_ = Kind::Boolean;
    } else if (kind == "string") {
      if (take("string-value")) kind_ = Kind::String;
    } else if (formula_ && kind.empty()) {
      kind_ = Kind::NoValue;
    }
  }

  void EndCell() {
    inCell_ = false;
    const std::uint64_t first = column_ + 1;
    column_ = first - 1 + std::min<std::uint64_t>(columnRepeat_, UINT64_MAX - first);
    if (covered_) return;  // a merged area's text is in its first cell
    std::string shown, stored;
    bool number = false;
    CellKind kind = CellKind::Text;
    switch (kind_) {
      case Kind::NoValue:
        pendingFormula_ = true;
        return;
      case Kind::Paragraphs:
        shown = std::move(paragraph_);
        break;
      case Kind::String:
        shown = std::move(value_);
        break;
      case Kind::Boolean:
        shown = value_ == "true" || value_ == "1" ? "TRUE" : "FALSE";
        kind = CellKind::Boolean;
        break;
      case Kind::Date:
        shown = IsoDateText(value_);
        kind = shown == value_ ? CellKind::Text : CellKind::Date;
        // A date-time value at midnight is a date-time still (a date alone
        // is written without a time).
        if (kind == CellKind::Date && shown.size() == 10 && value_.size() > 10)
          shown += " 00:00:00";
        break;
      case Kind::Time:
        shown = DurationText(value_);
        kind = shown == value_ ? CellKind::Text : CellKind::Date;
        break;
      case Kind::Number:
        shown = GeneralNumber(value_);
        if (shown.empty()) {
          shown = std::move(value_);  // not a number after all: its text
        } else {
          stored = std::move(value_);
          number = true;
        }
        break;
    }
    if (shown.empty()) {
      rowBlank_ = std::max(rowBlank_, column_);  // an empty cell (formatting only)
      return;
    }
    if (first > kMaxSheetColumns) BeyondSheetLimits("a cell in column " + std::to_string(first));
    if (column_ > kMaxSheetColumns)
      BeyondSheetLimits("a cell repeated to column " + std::to_string(column_));
    // Repeated cells share one text.
    const std::size_t start = text.size();
    text += shown;
    text += stored;
    for (std::uint64_t c = first; c <= column_; ++c) {
      if (rowCells_.size() >= kMaxSheetCells) BeyondSheetLimits("more cells");
      rowCells_.push_back({0, static_cast<std::uint32_t>(c), false, number, start, shown.size(),
                           stored.size(), kind});
    }
  }

  void EndRow() {
    const std::uint64_t first = row_ + 1;
    row_ = first - 1 + std::min<std::uint64_t>(rowRepeat_, UINT64_MAX - first);
    if (pendingFormula_) {
      pendingFormula_ = false;
      if (first <= kMaxSheetRows) formulasWithoutValue.push_back(static_cast<std::size_t>(first));
    }
    if (rowCells_.empty()) return;  // empty rows, however many, hold nothing
    if (row_ > kMaxSheetRows) BeyondSheetLimits(std::to_string(row_) + " rows");
    if (rowBlank_ != 0)
      for (std::uint64_t r = first; r <= row_; ++r)
        blanks.KeepBlank(
            static_cast<std::uint32_t>(r),
            static_cast<std::uint32_t>(std::min<std::uint64_t>(rowBlank_, kMaxSheetColumns)));
    for (std::uint64_t r = first; r <= row_; ++r)
      for (CellRecord cell : rowCells_) {
        if (cells.size() >= kMaxSheetCells) BeyondSheetLimits("more cells");
        cell.row = static_cast<std::uint32_t>(r);
        cells.push_back(cell);
      }
    rowCells_.clear();
  }

  enum class Kind { Paragraphs, String, Number, Date, Time, Boolean, NoValue };

  const std::string& part_;
  const std::optional<std::string>& wanted_;
  std::string name_;
  bool chosen_ = false, reading_ = false;
  int tableDepth_ = 0, skip_ = 0;
  std::uint64_t row_ = 0, column_ = 0, rowRepeat_ = 1, columnRepeat_ = 1, rowBlank_ = 0;
  std::vector<CellRecord> rowCells_;
  bool inCell_ = false, covered_ = false, formula_ = false, pendingFormula_ = false;
  bool inParagraph_ = false, lastSpace_ = true;
  std::size_t paragraphs_ = 0;
  Kind kind_ = Kind::Paragraphs;
  std::string paragraph_, value_;
};

// The first bytes of the mimetype entry: the document's kind.
std::string MimetypeOf(ZipEntries& zip) {
  std::string type;
  zip.Read("mimetype", [&](std::string_view piece) {
    if (type.size() < 200) type.append(piece.substr(0, 200 - type.size()));
  });
  return type;
}

}  // namespace

bool IsOpenDocument(ZipEntries& zip) {
  if (zip.Has("[Content_Types].xml") || !zip.Has("content.xml")) return false;
  if (zip.Has("mimetype")) {
    const std::string type = MimetypeOf(zip);
    if (!type.starts_with("application/vnd.oasis.opendocument.spreadsheet"))
      throw PartsError("the archive is an OpenDocument file of the type " + Quoted(type) +
                       ", not a spreadsheet");
  }
  return true;
}

OdsSheet ReadOdsSheet(ZipEntries& zip, const std::optional<std::string>& sheet) {
  const std::string part = "content.xml";
  ContentReader reader(part, sheet);
  ParsePart(zip, part, reader, true);
  if (!reader.Chosen()) RefuseSheet(reader.sheets, sheet);
  // Rows come in order and cells in order within a row, so the cells are in
  // the sheet's order already.
  SheetCells cells{std::move(reader.cells), std::move(reader.text),
                   std::move(reader.formulasWithoutValue), std::move(reader.blanks.blankEnds)};
  return {std::move(reader.sheets), reader.Name(), std::move(cells)};
}

}  // namespace ztxgrp::workbook
