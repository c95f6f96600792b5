#include "ztxgrp/parts_file.hpp"

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/memory_errors.hpp"

namespace ztxgrp {

PartsFileResult process_parts_file(std::string bytes, const PartsFileOptions& options,
                                   const PartsOptionSpelling& spelling) {
  return WithMemoryErrorsNumbered([&] {
    const CsvTable table = ReadCsv(std::move(bytes), options.separator);
    PartsTableView view;
    view.header = table.header;
    view.cells = table.cells;
    view.row_numbers = table.lines;
    view.row_noun = "line";
    const PartsColumns columns = choose_columns(table.header, options.names, spelling);
    PartsResult result = options.expand ? expand_rows(view, columns) : collapse_rows(view, columns);

    std::string text;
    AppendCsvRow(text, result.table.header, table.format);
    for (const std::vector<std::string>& row : result.table.rows)
      AppendCsvRow(text, row, table.format);
    return PartsFileResult{Encoded(text, table.format), std::move(result.warnings)};
  });
}

char separator_named(std::string_view name) {
  if (name == "tab" || name == "\\t") return '\t';
  if (name.size() == 1 && name != "\"" && name != "\n" && name != "\r") return name.front();
  throw PartsError("the separator is one character, or \"tab\"");
}

}  // namespace ztxgrp
