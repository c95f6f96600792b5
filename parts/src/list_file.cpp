#include "list_file.hpp"

#include "kicad_xml.hpp"

#include <algorithm>
#include <map>

namespace ztxgrp::parts_detail {
namespace {

// A quantity written as a number: digits alone, as a number shows them (no
// leading zero, no more digits than a number holds exactly).
bool PlainWholeNumber(std::string_view text) {
  return !text.empty() && text.size() <= 15 && (text == "0" || text.front() != '0') &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The records of a CSV title block, one row each: a line break inside
// quotes stays in its cell. A line that is no record (a quote never
// closed) is kept as one cell.
std::vector<WorkbookTitleRow> CsvTitleRows(std::string_view title, char separator) {
  std::vector<WorkbookTitleRow> rows;
  std::size_t number = 0;
  while (!title.empty()) {
    std::size_t end = 0;
    bool quoted = false;
    for (; end < title.size(); ++end) {
      if (title[end] == '"') {
        quoted = !quoted;
      } else if (!quoted && (title[end] == '\r' || title[end] == '\n')) {
        break;
      }
    }
    if (quoted) end = title.find_first_of("\r\n");
    const std::string_view line = title.substr(0, end);
    title.remove_prefix(end == std::string_view::npos ? title.size() : end);
    if (title.starts_with("\r\n")) {
      title.remove_prefix(2);
    } else if (!title.empty()) {
      title.remove_prefix(1);
    }
    WorkbookTitleRow row{++number, {}};
    // A line of separators alone is a row of empty cells.
    if (line.find_first_not_of(separator) != std::string_view::npos) {
      try {
        CsvHeaderChoice first;
        first.record = 1;
        for (const std::string& field : ReadCsv(std::string(line), separator, first).header)
          row.cells.push_back({field, ""});
      } catch (const PartsError&) {
        row.cells = {{std::string(line), ""}};
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// A sheet's rows by their numbers (from 1) as CSV lines, an empty line for
// each row between them and, up to the line before `upTo`, after them.
void AppendNumberedRows(std::string& text, const std::vector<WorkbookTitleRow>& rows,
                        const CsvFormat& format, std::size_t upTo) {
  std::size_t line = 1;
  for (const WorkbookTitleRow& row : rows) {
    for (; line < row.row; ++line) text += format.lineEnd;
    std::vector<std::string> fields;
    for (const WorkbookCell& cell : row.cells) fields.push_back(cell.text);
    AppendCsvRow(text, fields, format);
    ++line;
  }
  for (; line < upTo; ++line) text += format.lineEnd;
}

}  // namespace

CsvHeaderChoice HeaderChoiceOf(const PartsOptions& options) {
  CsvHeaderChoice choice;
  choice.record = options.header_row;
  choice.option = options.name_of(PartsOption::HeaderRow);
  choice.last = options.last_row;
  choice.last_option = options.name_of(PartsOption::LastRow);
  choice.names = [refs = options.refs](std::span<const std::string> fields) {
    return refs ? find_column(fields, *refs).has_value()
                : find_designator_column(fields).has_value();
  };
  return choice;
}

ListFile::ListFile(std::string bytes, const PartsOptions& options, bool emptyIsList) {
  if (bytes.empty() && emptyIsList) {
    empty_ = true;
    kind_ = PartsFormat::Csv;
  } else if (is_workbook(bytes)) {
    kind_ = PartsFormat::Workbook;
    book_ = read_workbook(bytes, options.sheet, HeaderChoiceOf(options));
  } else if (IsXmlDocument(bytes)) {
    KicadBom bom = ReadKicadXml(std::move(bytes));
    csv_ = std::move(bom.table);
    if (bom.excluded != 0) notes_.push_back(ExcludedNote(bom.excluded));
  } else {
    csv_ = ReadCsv(std::move(bytes), options.separator, HeaderChoiceOf(options));
  }
  // Rows below the parts: said where and how many. Empty lines alone below
  // them are no rows: nothing is set apart.
  const bool book = kind_ == PartsFormat::Workbook;
  const std::size_t below = book ? book_.below.size() : csv_.below_rows;
  if (below == 0) {
    csv_.below = {};
    return;
  }
  const char* noun = book ? "row" : "line";
  const std::size_t at = book ? book_.below_row : csv_.below_line;
  std::string note = "the parts end at ";
  if (book ? book_.below_named : csv_.below_named) {
    note += std::string(noun) + " " + std::to_string(at - 1) + ", the last row asked for";
  } else {
    note += "the empty " + std::string(noun) + " " + std::to_string(at);
  }
  note += below == 1 ? ": the row below it is kept as it is, not read as a part"
                     : ": the " + std::to_string(below) +
                           " rows below it are kept as they are, not read as parts";
  notes_.push_back(std::move(note));
}

std::span<const std::string> ListFile::Header() const noexcept {
  return kind_ == PartsFormat::Workbook ? book_.header : csv_.header;
}

PartsTableView ListFile::View() const noexcept {
  if (kind_ == PartsFormat::Workbook) return {book_.header, book_.cells, book_.rows, "row"};
  return {csv_.header, csv_.cells, csv_.lines, "line"};
}

std::vector<PartsWarning> ListFile::Warnings() const {
  if (book_.formulas_without_value.empty()) return {};
  std::vector<std::size_t> rows = book_.formulas_without_value;
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string named;
  for (std::size_t k = 0; k < rows.size() && k < 10; ++k)
    named += (k == 0 ? "" : ", ") + std::to_string(rows[k]);
  if (rows.size() > 10) named += ", ...";
  return {{PartsWarning::Kind::FormulaWithoutValue,
           std::string(rows.size() == 1 ? "row " : "rows ") + named +
               ": a formula without a saved value is read as an empty cell (save the workbook "
               "in a spreadsheet program to store its values)",
           std::move(rows)}};
}

CsvFormat ListFile::OutputCsvFormat(const PartsOptions& options) const {
  CsvFormat format = kind_ == PartsFormat::Csv && !empty_ ? csv_.format : CsvFormat{};
  if (kind_ != PartsFormat::Csv && options.separator) format.separator = *options.separator;
  return format;
}

std::vector<WorkbookTitleRow> ListFile::TitleRows() const {
  if (kind_ == PartsFormat::Workbook) return book_.title;
  return CsvTitleRows(csv_.title, csv_.format.separator);
}

std::vector<WorkbookTitleRow> ListFile::BelowRows() const {
  if (kind_ != PartsFormat::Workbook) return CsvTitleRows(csv_.below, csv_.format.separator);
  std::vector<WorkbookTitleRow> rows = book_.below;
  for (WorkbookTitleRow& row : rows) row.row -= book_.below_row - 1;
  return rows;
}

std::string ListFile::Write(const PartsTable& table, const PartsOptions& options,
                            std::string_view quantity) const {
  if (TableForm(options) == PartsFormat::Csv) {
    const CsvFormat format = OutputCsvFormat(options);
    std::string text;
    if (kind_ == PartsFormat::Csv) {
      text = csv_.title;  // as written
    } else {
      AppendNumberedRows(text, book_.title, format, book_.header_row);
    }
    AppendCsvRow(text, table.header, format);
    for (const std::vector<std::string>& row : table.rows) AppendCsvRow(text, row, format);
    if (kind_ == PartsFormat::Csv) {
      text += csv_.below;  // as written
    } else {
      AppendNumberedRows(text, BelowRows(), format, 0);
    }
    return Encoded(text, format);
  }
  WorkbookSheet sheet;
  sheet.below = BelowRows();
  if (kind_ == PartsFormat::Workbook) sheet.name = book_.sheet;
  sheet.title = TitleRows();
  sheet.header_row = kind_ == PartsFormat::Workbook
                         ? book_.header_row
                         : (sheet.title.empty() ? 0 : sheet.title.back().row) + 1;
  sheet.header = table.header;
  sheet.rows = table.rows;
  // Each output column's column in the file: the n-th of a name is the
  // n-th column of that name (a list with one group of Avail, Unit$ and
  // MOQ columns per distributor repeats them).
  std::vector<std::optional<std::size_t>> source;
  std::map<std::string_view, std::vector<std::size_t>> byName;  // file columns, reversed
  for (std::size_t c = book_.header.size(); c-- > 0;) byName[book_.header[c]].push_back(c);
  for (const std::string& name : table.header) {
    const auto found = byName.find(name);
    if (found == byName.end() || found->second.empty()) {
      source.emplace_back();
      continue;
    }
    source.emplace_back(found->second.back());
    found->second.pop_back();
  }
  // A cell is a number when the cell it came from (in the output row's
  // first input row) was one: a text "100" beside a number 100 in the same
  // column stays text.
  sheet.number = [&](std::size_t row, std::size_t column,
                     std::string_view text) -> std::optional<std::string> {
    if (table.header[column] == quantity && PlainWholeNumber(text)) return std::string(text);
    if (kind_ == PartsFormat::Workbook && source[column] && row < table.row_numbers.size())
      if (const std::string_view* stored =
              book_.NumberAt(table.row_numbers[row], *source[column], text))
        return std::string(*stored);
    return std::nullopt;
  };
  sheet.kind = [&](std::size_t row, std::size_t column, std::string_view text) {
    if (kind_ != PartsFormat::Workbook || !source[column] || row >= table.row_numbers.size())
      return CellKind::Text;
    return book_.KindAt(table.row_numbers[row], *source[column], text);
  };
  return write_workbook(sheet, BookForm(options));
}

std::string ListFile::WriteTable(const PartsTable& table, const PartsOptions& options,
                                 const std::vector<std::uint32_t>& fills, const PartsTable& second,
                                 const std::vector<std::uint32_t>& secondFills) const {
  if (TableForm(options) == PartsFormat::Csv) {
    const CsvFormat format = OutputCsvFormat(options);
    std::string text;
    AppendCsvRow(text, table.header, format);
    for (const std::vector<std::string>& row : table.rows) AppendCsvRow(text, row, format);
    if (!second.header.empty()) {
      text += format.lineEnd;
      AppendCsvRow(text, second.header, format);
      for (const std::vector<std::string>& row : second.rows) AppendCsvRow(text, row, format);
    }
    return Encoded(text, format);
  }
  std::vector<WorkbookSheet> sheets(second.header.empty() ? 1 : 2);
  sheets[0].name = "Changes";
  sheets[0].header = table.header;
  sheets[0].rows = table.rows;
  sheets[0].fills = fills;
  // The designators' count and the quantities are numbers.
  sheets[0].number = [&](std::size_t, std::size_t column,
                         std::string_view text) -> std::optional<std::string> {
    if (column == 2 && PlainWholeNumber(text)) return std::string(text);
    return std::nullopt;
  };
  if (sheets.size() == 2) {
    sheets[1].name = "Parts";
    sheets[1].header = second.header;
    sheets[1].rows = second.rows;
    sheets[1].fills = secondFills;
    // The old and new quantities (the three columns before the last two).
    const std::size_t quantities = second.header.size() - 5;
    sheets[1].number = [quantities](std::size_t, std::size_t column,
                                    std::string_view text) -> std::optional<std::string> {
      if (column >= quantities && column < quantities + 2 && PlainWholeNumber(text))
        return std::string(text);
      return std::nullopt;
    };
  }
  return write_workbook(sheets, BookForm(options));
}

}  // namespace ztxgrp::parts_detail
