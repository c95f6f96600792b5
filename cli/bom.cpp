#include "bom.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "csv_table.hpp"
#include "errors.hpp"
#include "output_file.hpp"
#include "platform.hpp"
#include "ztxgrp/parts_list.hpp"

namespace ztxgrp::cli {
namespace {

PartsColumns Plan(const CsvTable& table, const Options& options) {
  const BomOptions& bom = options.bom;
  PartsColumnNames names;
  names.refs = bom.refs;
  names.qty = bom.qty;
  names.by = bom.by;
  names.join = bom.join;
  names.min_run = options.minRun;
  return choose_columns(table.header, names, {"--refs", "--qty", "--by"});
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int RunBom(const Options& options, InputBuffer& standardInput, OutputWriter& out) {
  const BomOptions& bom = options.bom;
  std::string bytes;
  if (bom.file.empty() || bom.file == "-") {
    bytes = standardInput.ReadAll();
  } else {
    const std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(bom.file));
    if (!file) throw InputError("cannot open " + bom.file + ": " + Reason(errno));
    InputBuffer in(file.get(), false, bom.file);
    // A regular file is read into room for all of it (one more byte lets
    // the read that finds its end append nothing).
    const std::optional<std::uint64_t> size = RegularFileSize(file.get());
    bytes = in.ReadAll(size && *size < SIZE_MAX / 2 ? static_cast<std::size_t>(*size) + 1 : 0);
  }
  const CsvTable table = ReadCsv(std::move(bytes), bom.separator);

  PartsTableView parts;
  parts.header = table.header;
  parts.cells = table.cells;
  parts.row_numbers = table.lines;
  parts.row_noun = "line";
  const PartsColumns columns = Plan(table, options);
  const PartsResult result =
      bom.expand ? expand_rows(parts, columns) : collapse_rows(parts, columns);

  bool strictFailure = false;
  for (const PartsWarning& warning : result.warnings) {
    WriteMessage("ztxgrp: warning: " + warning.message);
    strictFailure = strictFailure || warning.kind == PartsWarning::Kind::DuplicateDesignator ||
                    warning.kind == PartsWarning::Kind::DifferingCells;
  }
  if (strictFailure && bom.strict)
    throw InputError("duplicated designators or differing cells (--strict); nothing was written");

  std::string text;
  AppendCsvRow(text, result.table.header, table.format);
  for (const std::vector<std::string>& row : result.table.rows)
    AppendCsvRow(text, row, table.format);
  text = Encoded(text, table.format);
  if (bom.output)
    WriteOutputFile(*bom.output, text);
  else
    out.Write(text);
  return kSuccess;
}

}  // namespace ztxgrp::cli
