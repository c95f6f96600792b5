#include "bom.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "command.hpp"
#include "command_options.hpp"
#include "errors.hpp"
#include "output_file.hpp"
#include "platform.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::cli {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string ReadPartsFile(const std::string& name, InputBuffer& standardInput) {
  if (name.empty() || name == "-") return standardInput.ReadAll();
  const std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(name));
  if (!file) throw InputError("cannot open " + name + ": " + Reason(errno));
  InputBuffer in(file.get(), false, name);
  // A regular file is read into room for all of it (one more byte lets the
  // read that finds its end append nothing).
  const std::optional<std::uint64_t> size = RegularFileSize(file.get());
  return in.ReadAll(size && *size < SIZE_MAX / 2 ? static_cast<std::size_t>(*size) + 1 : 0);
}

int RunBom(const PartsListCommand& bom, InputBuffer& standardInput, OutputWriter& out) {
  PartsOptions parts = bom.parts;
  parts.format = output_form(parts.format, bom.output.value_or(""));
  const PartsFileResult result = process_parts_file(ReadPartsFile(bom.file, standardInput), parts);

  for (const std::string& note : result.notes) WriteMessage("ztxgrp: note: " + note);
  bool strictFailure = false;
  for (const PartsWarning& warning : result.warnings) {
    WriteMessage("ztxgrp: warning: " + warning.message);
    strictFailure = strictFailure || warning.kind == PartsWarning::Kind::DuplicateDesignator ||
                    warning.kind == PartsWarning::Kind::DifferingCells;
  }
  if (strictFailure && bom.strict)
    throw InputError("duplicated designators or differing cells (--strict); nothing was written");
  WritePartsOutput(bom.output, result.bytes, out);
  return kSuccess;
}

void WritePartsOutput(const std::optional<std::string>& output, const std::string& bytes,
                      OutputWriter& out) {
  if (output) {
    WriteOutputFile(*output, bytes);
  } else if (is_workbook(bytes) && out.Terminal()) {
    throw UsageError(
        "a workbook is not written to a terminal: name a file with -o, or use --format csv");
  } else {
    out.Write(bytes);
  }
}

namespace {

constexpr const char* kBomFooter =
    R"(The designator column may hold several designators and ranges per cell,
separated by commas, semicolons, blanks, line breaks or the --join separator
("R1, R3-R5 R9"; "C1 - C4" is the range C1-C4). A piece with "-" is a range
only when both halves (cut at the first "-") read as numbered items of one
prefix (R3-R5; R3-R1 fails with runtime error 9). Designators are written
back exactly as they came: one that ztxgrp would write differently (R001,
U1.1, Half-Bridge_DO1301) is kept whole and never folded into a range.

Collapse (default): rows that agree on the key columns become one row whose
designator cell is the grouped list of all their designators and whose
quantity column holds their number; rows are ordered by first designator.
Rows without designators are written as they came, last. A row whose
quantity is no whole number (DNP) stays apart and keeps it (a warning); a
quantity that differs from the count is warned about. With --by, other
columns whose cells differ between merged rows are warned about, and the
first row's cell is written. --strict makes duplicated designators and such
differing cells an error (exit 2).
--expand: one row per designator, every other cell copied, quantity 1.

The separator (comma, semicolon or tab) is taken from the header line unless
--sep names it; UTF-16 files with a byte-order mark are read. The output is
written in the input's separator, line end and encoding.

A workbook (.xlsx) is read as a spreadsheet shows its first sheet (or
--sheet NAME) and written as a workbook, or as the output's name (.csv,
.xlsx) or --format says: text stays text, numbers stay numbers.

Examples:
  ztxgrp bom parts.csv > collapsed.csv
  ztxgrp bom --expand collapsed.csv -o placement.csv
  ztxgrp bom parts.xlsx -o collapsed.xlsx)";

class BomCommand final : public Command {
 public:
  explicit BomCommand(CLI::App& app) {
    app_ = app.add_subcommand(
        "bom",
        "collapse a parts-list file (CSV or workbook) to one row per part, or expand it to one "
        "per designator");
    app_->footer(kBomFooter);
    app_->add_option("FILE", bom_.file, "the CSV file or workbook (default or -: standard input)");
    AddPartsListOptions(app_, bom_,
                        "the key columns, comma-separated, repeatable (default: all but "
                        "designators and quantity)",
                        kOperationCollapseFile | kOperationExpandFile);
    app_->add_flag("--expand", bom_.parts.expand, "one row per designator instead of one per part");
    app_->add_flag("--strict", bom_.strict, "duplicated designators are an error (exit 2)");
  }
  void TakeWordsAfterOptions(std::vector<std::string> words) override {
    if (words.empty()) return;
    // After "--" the one word left is the parts list's FILE.
    if (words.size() > 1 || !bom_.file.empty()) throw UsageError("bom takes at most one FILE");
    bom_.file = std::move(words.front());
  }
  int Run(InputBuffer& in, OutputWriter& out) override { return RunBom(bom_, in, out); }

 private:
  PartsListCommand bom_;
};

}  // namespace

std::unique_ptr<Command> MakeBomCommand(CLI::App& app) {
  return std::make_unique<BomCommand>(app);
}

}  // namespace ztxgrp::cli
