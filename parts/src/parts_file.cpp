#include "ztxgrp/parts_file.hpp"

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/memory_errors.hpp"

namespace ztxgrp {

namespace {

// The header as the options choose it: their row, else the first row that
// names the designator column.
CsvHeaderChoice HeaderChoiceOf(const PartsOptions& options) {
  CsvHeaderChoice choice;
  choice.record = options.header_row;
  choice.names = [refs = options.refs](std::span<const std::string> fields) {
    return refs ? find_column(fields, *refs).has_value()
                : find_designator_column(fields).has_value();
  };
  return choice;
}

}  // namespace

CsvTable read_parts_csv(std::string bytes, const PartsOptions& options) {
  return ReadCsv(std::move(bytes), options.separator, HeaderChoiceOf(options));
}

PartsFileResult process_parts_file(std::string bytes, const PartsOptions& options) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    const CsvTable table = read_parts_csv(std::move(bytes), options);
    PartsTableView view;
    view.header = table.header;
    view.cells = table.cells;
    view.row_numbers = table.lines;
    view.row_noun = "line";
    const PartsColumns columns = choose_columns(table.header, options);
    PartsResult result = options.expand ? expand_rows(view, columns) : collapse_rows(view, columns);

    std::string text(table.title);  // the title block, as written
    AppendCsvRow(text, result.table.header, table.format);
    for (const std::vector<std::string>& row : result.table.rows)
      AppendCsvRow(text, row, table.format);
    return PartsFileResult{Encoded(text, table.format), std::move(result.notes),
                           std::move(result.warnings)};
  });
}

namespace {

// A compared list; an empty file (no bytes at all: git's /dev/null for a
// file added or deleted) is a list with no rows.
CsvTable ReadNamed(std::string bytes, const PartsOptions& options, const std::string& name,
                   const char* fallback) {
  if (bytes.empty()) return CsvTable();
  try {
    return read_parts_csv(std::move(bytes), options);
  } catch (const PartsError& error) {
    throw PartsError((name.empty() ? std::string(fallback) : name) + ": " + error.what(),
                     error.row(), error.noun());
  }
}

PartsTableView ViewOf(const CsvTable& table) {
  return {table.header, table.cells, table.lines, "line"};
}

}  // namespace

PartsDiffFileResult diff_parts_files(std::string old_bytes, std::string new_bytes,
                                     const PartsOptions& options, const PartsDiffNames& tables) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    const CsvTable older =
        ReadNamed(std::move(old_bytes), options, tables.old_name, "the old list");
    const CsvTable newer =
        ReadNamed(std::move(new_bytes), options, tables.new_name, "the new list");
    PartsDiffFileResult result;
    result.diff = diff_tables(ViewOf(older), ViewOf(newer), options, tables);
    const PartsTable table = diff_table(result.diff);
    // In NEW's form, or OLD's when NEW is an empty file.
    const CsvFormat& format = newer.header.empty() ? older.format : newer.format;
    std::string text;
    AppendCsvRow(text, table.header, format);
    for (const std::vector<std::string>& row : table.rows) AppendCsvRow(text, row, format);
    result.bytes = Encoded(text, format);
    return result;
  });
}

}  // namespace ztxgrp
