// A board's files checked against each other before they go to an
// assembler: a parts list against its placement (pick-and-place) files.
// Each finding names its kind, its designators grouped as `ztxgrp bom`
// groups them, and the file and line of each place it was found.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_options.hpp"

namespace ztxgrp {

// One placement file: its name for messages ("top.pos") and its bytes.
struct PlacementFile {
  std::string name;
  std::string bytes;
};

// Where a finding was found: a file by its name and its lines (or a
// workbook's rows), ascending.
struct FindingPlace {
  std::string file;
  std::string noun;  // "line", "row"
  std::vector<std::size_t> lines;
};

struct VerifyFinding {
  enum class Kind {
    NotPlaced,      // in the parts list, not placed
    NotListed,      // placed, not in the parts list
    LetterCase,     // the same designator but for letter case
    Repeated,       // a designator more than once in one side
    Quantity,       // a row whose quantity is not its designators' count
    NoDesignator,   // a row with a quantity but no designator
    DoNotPlace,     // marked not to be placed, yet placed (or the other way round)
    CellsDiffer,    // a cell both files have that disagrees
    TooManyPerRow,  // a row with more designators than --max-per-row
  };
  Kind kind = Kind::NotPlaced;
  std::string designators;  // grouped and joined; empty for a row without designators
  std::size_t count = 0;    // the designators
  std::string detail;  // what disagrees ("Value \"10k\" in the parts list, \"4k7\" in top.pos")
  std::vector<FindingPlace> places;
};

struct VerifyResult {
  std::vector<VerifyFinding> findings;  // by kind, then by first designator
  std::vector<std::string> notes;       // a list for several boards, ...
  std::vector<PartsWarning> warnings;   // the parts list's, as bom gives them
  bool found() const noexcept { return !findings.empty(); }
};

// The kind's word in tables and JSON ("not-placed") and its words for
// people ("in the parts list, not placed").
const char* finding_name(VerifyFinding::Kind kind) noexcept;
const char* finding_words(VerifyFinding::Kind kind) noexcept;

// Checks the parts list `bom` (a file as process_parts_file reads it, named
// `bom_name` in findings) against the placement files, read as one set: each
// in `options.placement_format` if given, else recognised by its content.
// `options`: as for collapsing (refs, qty, sep, sheet, header_row, join,
// min_run), with `ignore` (shell-style patterns left out of the designators
// on one side only) and `max_per_row`. Without placement files only the
// parts list's own findings are made. Errors: PartsError (the options, a
// file that no form reads, naming the forms tried, a column, a cell),
// RowError (a designator the engine refuses), EncodingError, runtime
// error 7.
VerifyResult verify_parts_files(std::string bom, std::string_view bom_name,
                                std::vector<PlacementFile> placements, const PartsOptions& options);

// The same over rows: the parts list as a table and each placement file as
// a table (its designator column found as a parts list's is; Val, Value or
// Comment the value, Package or Footprint the footprint, Populate whether
// it is placed).
struct PlacementTable {
  std::string name;
  PartsTableView table;
};
VerifyResult verify_parts_rows(const PartsTableView& bom, std::string_view bom_name,
                               const std::vector<PlacementTable>& placements,
                               const PartsOptions& options);

// The findings as people read them: one line per finding, then a summary
// ("3 findings", or "the files agree"); each line ends with a line feed.
std::string verify_text(const VerifyResult& result);
// As a table: Finding, Designators, Count, File, Lines, Detail; a finding
// found in several files is a row per file.
PartsTable verify_table(const VerifyResult& result);
// As one JSON document and a line feed.
std::string verify_json(const VerifyResult& result);
// In the form asked for (`options.format`; none: the text for people):
// CSV, a workbook, JSON or text.
std::string write_verify_result(const VerifyResult& result, const PartsOptions& options);

}  // namespace ztxgrp
