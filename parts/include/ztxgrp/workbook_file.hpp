// Parts-list workbooks (.xlsx and .ods): one worksheet read as a table of the texts
// a spreadsheet shows (shared, inline and rich strings as their text;
// numbers in the General format; dates in ISO form; TRUE and FALSE; a
// formula by its cached value; error values as their text; gaps as empty
// cells), and tables written back as workbooks (.xlsx with libxlsxwriter,
// .ods as an archive minizip makes). Workbooks are read with minizip and expat, within stated
// limits: no archive expands past kMaxWorkbookPartBytes a part, no sheet holds more than
// kMaxSheetCells cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ztxgrp/csv_file.hpp"

namespace ztxgrp {

inline constexpr std::uint64_t kMaxWorkbookPartBytes = std::uint64_t{512} << 20;  // 512 MiB
inline constexpr std::size_t kMaxSheetCells = std::size_t{1} << 24;               // 16,777,216
inline constexpr std::uint32_t kMaxSheetRows = 1048576;
inline constexpr std::uint32_t kMaxSheetColumns = 16384;

// The two forms of workbook: Office Open XML (.xlsx) and OpenDocument
// spreadsheets (.ods).
enum class SpreadsheetForm { OfficeOpenXml, OpenDocument };

// Whether the bytes are a workbook (a ZIP archive), by their content.
bool is_workbook(std::string_view bytes) noexcept;

// What a cell holds: a text, a number, a date (or time) or a Boolean.
enum class CellKind : std::uint8_t { Text, Number, Date, Boolean };

// A cell as the sheet holds it: the text shown and, for a number, the
// number as stored (empty for any other cell); a date shows as
// "2026-12-08", "10:30:00" or "2026-12-08 10:30:00", a Boolean as TRUE or
// FALSE.
struct WorkbookCell {
  std::string text;
  std::string number;
  CellKind kind = CellKind::Text;
};

// A row above the header, by its number in the sheet.
struct WorkbookTitleRow {
  std::size_t row = 0;
  std::vector<WorkbookCell> cells;  // from column A
};

class WorkbookTable {
 public:
  std::vector<std::string> header;
  std::vector<std::string_view> cells;  // row after row, each as wide as the header
  std::vector<std::size_t> rows;        // each row's number in the sheet
  std::size_t header_row = 1;
  std::vector<WorkbookTitleRow> title;
  // The rows below the parts (from the first empty row after a part, or
  // after the last row named): the first row set apart, the rows that hold
  // text among them, and whether the last row was named.
  std::vector<WorkbookTitleRow> below;
  std::size_t below_row = 0;
  bool below_named = false;
  std::vector<std::string> sheets;  // the workbook's sheets, in order
  std::string sheet;                // the one read
  SpreadsheetForm form = SpreadsheetForm::OfficeOpenXml;
  std::vector<std::size_t> formulas_without_value;  // rows holding such a formula

  std::size_t RowCount() const noexcept { return rows.size(); }
  // The number stored in the cell of the sheet's row `row` (as `rows`
  // numbers it) and column `column`, when that cell was a number and shows
  // `text`; null otherwise.
  const std::string_view* NumberAt(std::size_t row, std::size_t column,
                                   std::string_view text) const;
  // The kind of that cell, when it shows `text`; a text otherwise.
  CellKind KindAt(std::size_t row, std::size_t column, std::string_view text) const;

  // The table's cells as texts are views into the workbook's own storage,
  // which the table holds.
 private:
  friend WorkbookTable read_workbook(std::string_view bytes,
                                     const std::optional<std::string>& sheet,
                                     const CsvHeaderChoice& header);
  std::shared_ptr<const void> shared_text_;  // the shared strings, in the reader's block
  std::unique_ptr<const std::string> own_text_;
  std::unordered_map<std::size_t, std::string_view> numbers_;  // by cell, for number cells
  std::unordered_map<std::size_t, CellKind> kinds_;            // by cell, dates and Booleans
};

// The bytes of a workbook. `sheet`: the worksheet to read (none: the
// first); `header` as for ReadCsv, counting rows as the sheet numbers them.
// PartsError for a damaged or hostile workbook (named part and what is
// wrong), a missing sheet (naming the sheets there are), a sheet beyond the
// limits, or a row with a cell beyond the header's columns.
WorkbookTable read_workbook(std::string_view bytes, const std::optional<std::string>& sheet,
                            const CsvHeaderChoice& header = {});

// A sheet to write: title rows (cells from column A, by their row in the
// sheet, all above the header), the header, bold, frozen and filtered,
// then the rows. A cell is written as a number when `number` gives one for
// it, else as text.
struct WorkbookSheet {
  std::string name = "Sheet1";
  std::vector<WorkbookTitleRow> title;
  std::size_t header_row = 1;  // after every title row
  std::span<const std::string> header;
  std::span<const std::vector<std::string>> rows;
  // The number to write for the cell of row `row` (0 for the first of
  // `rows`) and `column` showing `text`: the text of a number as stored
  // ("0.1", "1E-3"); none: a text cell.
  std::function<std::optional<std::string>(std::size_t row, std::size_t column,
                                           std::string_view text)>
      number;
  // The kind of the cell of `row` and `column` showing `text` when it is
  // no number (a date or a Boolean is written as one); none: a text.
  std::function<CellKind(std::size_t row, std::size_t column, std::string_view text)> kind;
  // Each row's fill colour (0xRRGGBB), or 0 for none; empty: no fills.
  std::vector<std::uint32_t> fills;
  // Rows below the table (cells from column A), each by how far below the
  // table's last row it is (1: the row right after).
  std::vector<WorkbookTitleRow> below;
};

// The workbook's bytes in `form`. Runtime error 7 when memory runs out;
// PartsError when a cell cannot be written in that form or the archive
// cannot be made.
std::string write_workbook(const WorkbookSheet& sheet,
                           SpreadsheetForm form = SpreadsheetForm::OfficeOpenXml);
// A workbook of several sheets, in order.
std::string write_workbook(std::span<const WorkbookSheet> sheets,
                           SpreadsheetForm form = SpreadsheetForm::OfficeOpenXml);

}  // namespace ztxgrp
