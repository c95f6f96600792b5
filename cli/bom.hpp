// `ztxgrp bom`: the designator column of a parts-list CSV file, collapsed to
// one row per distinct part ("C1-C4, C9" and a quantity) or expanded to one
// row per designator. Designators that hold a hyphen but are no range are
// kept as written (ztxgrp/parts_list.hpp), so collapse and expand give back the
// same designators.
#pragma once

#include "io.hpp"
#include "options.hpp"
#include "ztxgrp/parts_file.hpp"

namespace ztxgrp::cli {

// Reads the table from `in`, writes the result to `out`. Nothing is written
// when anything fails: the table is complete before the first row is written.
// InputError for unusable CSV or columns and PartsError for unusable cells
// (exit 2), a RowError for a designator that the engine refuses (exit 3),
// InputError with --strict for duplicated designators or differing cells.
int RunBom(const PartsListCommand& bom, InputBuffer& in, OutputWriter& out);

// A parts-list file's bytes: the file `name`, or standard input for "-" or
// an empty name. InputError when it cannot be opened or read.
std::string ReadPartsFile(const std::string& name, InputBuffer& standardInput);

// Writes a parts-list command's output to its file, else to `out`; a
// workbook is refused for a terminal (UsageError).
void WritePartsOutput(const std::optional<std::string>& output, const std::string& bytes,
                      OutputWriter& out);

}  // namespace ztxgrp::cli
