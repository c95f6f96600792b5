// Parts-list files: the bytes of a CSV file or workbook collapsed to one row per part or
// expanded to one row per designator, and written back as bytes in the
// file's own form (separator, quoting, line ends, encoding, byte-order
// mark). Every front end (the command, Python, WebAssembly and the web page)
// reads and writes parts-list files through this one door, so that all of
// them give the same bytes and the same warnings for the same file. No file
// system here: the caller reads and writes the bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/parts_list.hpp"

namespace ztxgrp {

// A parts-list file, CSV or workbook, read as process_parts_file reads it
// (its separator, sheet and header as `options` choose them, title rows set
// apart), for showing it: the header, the first `max_rows` rows and how
// many rows there are. Errors as process_parts_file's.
struct PartsFilePreview {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::size_t row_count = 0;
};
PartsFilePreview preview_parts_file(std::string bytes, const PartsOptions& options,
                                    std::size_t max_rows);

struct PartsFileResult {
  std::string bytes;               // the whole output file
  std::vector<std::string> notes;  // as PartsResult's
  std::vector<PartsWarning> warnings;
};

// Reads the file (csv_file.hpp: its rules and messages), chooses the columns
// by name, collapses (or, with `options.expand`, expands) the rows and
// writes the result in `options.format` (csv, xlsx or ods; none: the input's
// form). Errors: PartsError (the options, the file or a
// column, with the line), RowError (a designator the engine refuses, with
// its line), EncodingError, runtime error 7.
PartsFileResult process_parts_file(std::string bytes, const PartsOptions& options);

struct PartsDiffFileResult {
  std::string bytes;  // the comparison in the form asked for
  PartsDiff diff;
};

// Reads both files as process_parts_file reads one and compares them
// (diff_tables). The comparison is written in `options.format`: the text for
// people (diff_text) when none is given, JSON (diff_json), or the table of
// changes (diff_table) as CSV, in NEW's separator, line ends and encoding
// (OLD's when NEW is empty), or as a workbook. An empty file (no bytes:
// git's /dev/null) is a list with no rows. `options.expand` is not used.
// Errors as process_parts_file's and diff_tables', naming the list
// (list_label).
PartsDiffFileResult diff_parts_files(std::string old_bytes, std::string new_bytes,
                                     const PartsOptions& options,
                                     const PartsDiffNames& tables = {});

}  // namespace ztxgrp
