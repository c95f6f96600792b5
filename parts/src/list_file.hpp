// A parts-list file of any form, CSV, workbook or KiCad's XML (told apart by
// its content; the XML is written back as CSV), read as a table and written back: in the form asked
// for, else its own; title rows kept above the header; in a workbook, numbers that were numbers
// stay numbers and quantities are numbers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::parts_detail {

// The header as the options choose it: their row, else the first row that
// names the designator column.
CsvHeaderChoice HeaderChoiceOf(const PartsOptions& options);

class ListFile {
 public:
  // With `emptyIsList`, no bytes are a list with no rows (git's /dev/null
  // in a comparison); otherwise they are an error.
  ListFile(std::string bytes, const PartsOptions& options, bool emptyIsList = false);

  bool Empty() const noexcept { return empty_; }
  std::span<const std::string> Header() const noexcept;
  PartsTableView View() const noexcept;
  // A formula without a cached value, read as an empty cell.
  std::vector<PartsWarning> Warnings() const;
  // What reading left out (KiCad's components excluded from the BOM).
  const std::vector<std::string>& Notes() const noexcept { return notes_; }
  // The rows above the header, by their numbers in the file.
  std::vector<WorkbookTitleRow> TitleRows() const;
  // The rows below the parts, each by how far below the parts' last row.
  std::vector<WorkbookTitleRow> BelowRows() const;

  // A collapsed or expanded table, below the file's title rows;
  // `quantity` names its quantity column.
  std::string Write(const PartsTable& table, const PartsOptions& options,
                    std::string_view quantity) const;
  // A comparison's table; `fills`: each row's colour in a workbook. A
  // `second` table with a header (the parts) follows after an empty line
  // in CSV, on a sheet of its own in a workbook, its rows coloured by
  // `secondFills`.
  std::string WriteTable(const PartsTable& table, const PartsOptions& options,
                         const std::vector<std::uint32_t>& fills, const PartsTable& second = {},
                         const std::vector<std::uint32_t>& secondFills = {}) const;

 private:
  // The table's form: CSV or workbook as asked, else the file's own.
  PartsFormat TableForm(const PartsOptions& options) const noexcept {
    if (options.format == OutputForm::Csv) return PartsFormat::Csv;
    if (options.format == OutputForm::Workbook || options.format == OutputForm::OpenDocument)
      return PartsFormat::Workbook;
    return kind_;
  }
  // A workbook's form: as asked, else the file's own (.xlsx for a CSV file).
  SpreadsheetForm BookForm(const PartsOptions& options) const noexcept {
    if (options.format == OutputForm::Workbook) return SpreadsheetForm::OfficeOpenXml;
    if (options.format == OutputForm::OpenDocument) return SpreadsheetForm::OpenDocument;
    return kind_ == PartsFormat::Workbook ? book_.form : SpreadsheetForm::OfficeOpenXml;
  }
  CsvFormat OutputCsvFormat(const PartsOptions& options) const;

  PartsFormat kind_ = PartsFormat::Csv;
  bool empty_ = false;
  CsvTable csv_;
  WorkbookTable book_;
  std::vector<std::string> notes_;
};

}  // namespace ztxgrp::parts_detail
