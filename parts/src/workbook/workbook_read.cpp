// Reading one worksheet of a workbook as a table: the sheet chosen through
// the package's parts, its cells read, the header found among its first
// rows, the rows above it a title, the rows below it the table's.
#include <algorithm>

#include "ods_cells.hpp"
#include "package_parts.hpp"
#include "sheet_cells.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp {
namespace workbook {
namespace {

// The worksheet asked for (by name; none: the first) and the parts that
// reading it needs, found through the package's relationships.
struct ChosenSheet {
  std::vector<std::string> sheets;  // every sheet's name, in the workbook's order
  std::string name, part;
  std::string stringsPart, stylesPart;  // empty: the workbook has none
  bool epoch1904 = false;
};

ChosenSheet ChooseSheet(ZipEntries& zip, const std::optional<std::string>& sheet) {
  std::string book = "xl/workbook.xml";
  {
    RelationshipsReader package("");
    if (ParsePart(zip, "_rels/.rels", package, false))
      if (const Relationship* office = package.OfType("/officeDocument")) book = office->target;
  }
  WorkbookReader contents;
  ParsePart(zip, book, contents, true);
  RelationshipsReader parts(FolderOf(book));
  ParsePart(zip, RelationshipsOf(book), parts, true);

  ChosenSheet chosen;
  for (const SheetEntry& entry : contents.sheets) chosen.sheets.push_back(entry.name);
  // A sheet named is that sheet; none named is the first worksheet, after
  // any chart sheet before it.
  const auto isWorksheet = [&](const SheetEntry& candidate) {
    const Relationship* target = parts.WithId(candidate.relationship);
    return target != nullptr && target->type.ends_with("/worksheet");
  };
  const SheetEntry* entry = nullptr;
  for (const SheetEntry& candidate : contents.sheets)
    if (sheet ? candidate.name == *sheet : isWorksheet(candidate)) {
      entry = &candidate;
      break;
    }
  if (entry == nullptr) RefuseSheet(chosen.sheets, sheet);
  const Relationship* target = parts.WithId(entry->relationship);
  if (target == nullptr || !target->type.ends_with("/worksheet"))
    throw PartsError("the sheet " + Quoted(entry->name) +
                     " is no worksheet (a chart sheet or a damaged workbook)");
  chosen.name = entry->name;
  chosen.part = target->target;
  if (const Relationship* r = parts.OfType("/sharedStrings")) chosen.stringsPart = r->target;
  if (const Relationship* r = parts.OfType("/styles")) chosen.stylesPart = r->target;
  chosen.epoch1904 = contents.epoch1904;
  return chosen;
}

}  // namespace
}  // namespace workbook

bool is_workbook(std::string_view bytes) noexcept {
  return bytes.size() >= 4 && bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

namespace {

// The index of the cell of the sheet's row `row` and `column` among the
// table's cells, when it shows `text`.
std::optional<std::size_t> CellShowing(const WorkbookTable& table, std::size_t row,
                                       std::size_t column, std::string_view text) {
  const auto at = std::lower_bound(table.rows.begin(), table.rows.end(), row);
  if (at == table.rows.end() || *at != row || column >= table.header.size()) return std::nullopt;
  const std::size_t cell =
      static_cast<std::size_t>(at - table.rows.begin()) * table.header.size() + column;
  if (table.cells[cell] != text) return std::nullopt;
  return cell;
}

}  // namespace

const std::string_view* WorkbookTable::NumberAt(std::size_t row, std::size_t column,
                                                std::string_view text) const {
  const std::optional<std::size_t> cell = CellShowing(*this, row, column, text);
  if (!cell) return nullptr;
  const auto found = numbers_.find(*cell);
  return found == numbers_.end() ? nullptr : &found->second;
}

CellKind WorkbookTable::KindAt(std::size_t row, std::size_t column, std::string_view text) const {
  const std::optional<std::size_t> cell = CellShowing(*this, row, column, text);
  if (!cell) return CellKind::Text;
  if (numbers_.contains(*cell)) return CellKind::Number;
  const auto found = kinds_.find(*cell);
  return found == kinds_.end() ? CellKind::Text : found->second;
}

WorkbookTable read_workbook(std::string_view bytes, const std::optional<std::string>& sheet,
                            const CsvHeaderChoice& header) {
  using namespace workbook;
  ZipEntries zip(bytes);
  WorkbookTable table;
  SharedStringsReader strings;
  SheetCells sheetCells;
  if (IsOpenDocument(zip)) {
    table.form = SpreadsheetForm::OpenDocument;
    OdsSheet ods = ReadOdsSheet(zip, sheet);
    table.sheets = std::move(ods.sheets);
    table.sheet = std::move(ods.name);
    sheetCells = std::move(ods.cells);
  } else {
    ChosenSheet chosen = ChooseSheet(zip, sheet);
    table.sheets = std::move(chosen.sheets);
    table.sheet = chosen.name;
    if (!chosen.stringsPart.empty()) ParsePart(zip, chosen.stringsPart, strings, true);
    StylesReader styles;
    if (!chosen.stylesPart.empty()) ParsePart(zip, chosen.stylesPart, styles, true);
    sheetCells = ReadSheetCells(zip, chosen.part, strings, styles.Kinds(), chosen.epoch1904);
  }
  const std::vector<CellRecord>& cells = sheetCells.cells;
  table.formulas_without_value = std::move(sheetCells.formulasWithoutValue);
  auto shared = std::make_shared<const TextBlock>(std::move(strings.text));
  auto own = std::make_unique<const std::string>(std::move(sheetCells.text));
  const std::string_view sharedText = shared->View();
  auto shown = [&](const CellRecord& cell) {
    return (cell.shared ? sharedText : std::string_view(*own)).substr(cell.start, cell.length);
  };
  auto stored = [&](const CellRecord& cell) {
    return std::string_view(*own).substr(cell.start + cell.length, cell.storedLength);
  };

  // The rows that hold text: [first cell, end) of each.
  struct RowSpan {
    std::uint32_t row;
    std::size_t begin, end;
  };
  std::vector<RowSpan> rows;
  for (std::size_t i = 0; i < cells.size();) {
    std::size_t end = i;
    bool any = false;
    while (end < cells.size() && cells[end].row == cells[i].row)
      any |= !shown(cells[end++]).empty();
    if (any) rows.push_back({cells[i].row, i, end});
    i = end;
  }
  auto texts = [&](const RowSpan& span) {
    std::vector<std::string> fields(cells[span.end - 1].column);
    for (std::size_t k = span.begin; k < span.end; ++k)
      fields[cells[k].column - 1] = std::string(shown(cells[k]));
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    return fields;
  };

  std::size_t headerAt = rows.size();
  if (header.record) {
    for (std::size_t r = 0; r < rows.size(); ++r)
      if (rows[r].row == *header.record) headerAt = r;
    if (headerAt == rows.size())
      throw PartsError((header.option.empty() ? "" : header.option + ": ") + "the header row " +
                       std::to_string(*header.record) + " is not in the sheet " +
                       Quoted(table.sheet) + "; it is empty or beyond its last row");
  } else {
    for (std::size_t r = 0; r < rows.size() && r <= kMaxTitleRows && headerAt == rows.size(); ++r)
      if (header.names && header.names(texts(rows[r]))) headerAt = r;
    if (headerAt == rows.size()) headerAt = 0;
  }
  if (rows.empty()) throw PartsError("the sheet " + Quoted(table.sheet) + " is empty");

  const auto kept = [&](const RowSpan& span) {
    WorkbookTitleRow row{span.row, {}};
    row.cells.resize(cells[span.end - 1].column);
    for (std::size_t k = span.begin; k < span.end; ++k)
      row.cells[cells[k].column - 1] = {std::string(shown(cells[k])),
                                        cells[k].number ? std::string(stored(cells[k])) : "",
                                        cells[k].number ? CellKind::Number : cells[k].kind};
    return row;
  };
  for (std::size_t r = 0; r < headerAt; ++r) table.title.push_back(kept(rows[r]));
  table.header_row = rows[headerAt].row;
  if (header.last && *header.last < table.header_row)
    throw PartsError((header.last_option.empty() ? "" : header.last_option + ": ") +
                     "the last row " + std::to_string(*header.last) + " is above the header row " +
                     std::to_string(table.header_row));
  // The parts end after the last row named, else at the first empty row
  // after a part; the rows from there on are kept as they are.
  std::size_t partsEnd = rows.size();
  for (std::size_t r = headerAt + 1; r < rows.size() && partsEnd == rows.size(); ++r) {
    if (header.last ? rows[r].row > *header.last
                    : r > headerAt + 1 && rows[r].row > rows[r - 1].row + 1) {
      partsEnd = r;
      table.below_row =
          header.last ? static_cast<std::size_t>(*header.last) + 1 : rows[r - 1].row + 1;
      table.below_named = header.last.has_value();
    }
  }
  for (std::size_t r = partsEnd; r < rows.size(); ++r) table.below.push_back(kept(rows[r]));
  rows.resize(partsEnd);
  table.header = texts(rows[headerAt]);
  // The header's formatted cells that show nothing are unnamed columns as
  // far as the rows below use them (a list written from CSV whose header
  // ends in empty names), not beyond the header.
  std::uint32_t used = 0;
  for (std::size_t r = headerAt + 1; r < rows.size(); ++r)
    for (std::size_t k = rows[r].begin; k < rows[r].end; ++k)
      if (!shown(cells[k]).empty()) used = std::max(used, cells[k].column);
  for (const auto& [row, last] : sheetCells.blankEnds)
    if (row == table.header_row)
      table.header.resize(std::max<std::size_t>(table.header.size(), std::min(last, used)));
  const std::size_t width = table.header.size();
  const std::size_t bodyRows = rows.size() - headerAt - 1;
  if (width != 0 && bodyRows > kMaxSheetCells / width)
    throw PartsError("the sheet " + Quoted(table.sheet) + " holds " + std::to_string(bodyRows) +
                     " rows of " + std::to_string(width) + " columns, more than " +
                     std::to_string(kMaxSheetCells) + " cells");
  table.cells.reserve(bodyRows * width);
  table.rows.reserve(bodyRows);
  for (std::size_t r = headerAt + 1; r < rows.size(); ++r) {
    const std::size_t start = table.cells.size();
    table.cells.resize(start + width);
    for (std::size_t k = rows[r].begin; k < rows[r].end; ++k) {
      const CellRecord& cell = cells[k];
      const std::string_view text = shown(cell);
      if (cell.column > width) {
        if (text.empty()) continue;
        throw PartsError("the cell " + ColumnName(cell.column) + std::to_string(cell.row) +
                             " is beyond the header's " + std::to_string(width) + " columns",
                         cell.row, "row");
      }
      table.cells[start + cell.column - 1] = text;
      if (cell.number) table.numbers_.emplace(start + cell.column - 1, stored(cell));
      if (cell.kind != CellKind::Text) table.kinds_.emplace(start + cell.column - 1, cell.kind);
    }
    table.rows.push_back(rows[r].row);
  }
  table.shared_text_ = std::move(shared);
  table.own_text_ = std::move(own);
  return table;
}

}  // namespace ztxgrp
