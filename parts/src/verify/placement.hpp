// Placement (pick-and-place) files read as the designators they place, each
// with its value, footprint, whether it is to be populated and its line.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_options.hpp"

namespace ztxgrp::parts_detail {

// Views of the file's bytes (which the caller keeps while the placement is
// used) or of the cells the placement keeps.
struct Placed {
  std::string_view designator;
  std::string_view value;      // empty where the file has no value or leaves it empty
  std::string_view footprint;  // likewise
  bool populate = true;        // false: the file says not to populate it
  std::size_t line = 0;        // its line (or a workbook's row)
};

class ListFile;

struct Placement {
  PlacementFormat format = PlacementFormat::Cpl;
  std::string noun = "line";  // how its rows are named
  // The names of its value and footprint columns, empty where it has none.
  std::string value_name, footprint_name;
  std::vector<Placed> rows;
  // What the rows view where they are no views of the file's bytes: a table
  // read as a parts list is, or fields unquoted.
  std::shared_ptr<const ListFile> table;
  std::vector<std::vector<std::string>> fields;
};

// The longest line a placement file may have: a real one is a few hundred
// bytes; a longer one is no placement file.
inline constexpr std::size_t kMaxPlacementLine = 64 * 1024;

// Reads a placement file in `format`, else in the first form that reads
// it. PartsError naming the file (`name`) and the forms tried when none
// does, or when it places nothing.
Placement ReadPlacement(const std::string& bytes, std::string_view name,
                        std::optional<PlacementFormat> format, const PartsOptions& options);

// A table whose header names its columns (a CPL given as rows): the
// designator column found as a parts list's is, Val, Value or Comment the
// value, Package or Footprint the footprint, Populate or DNP whether it is
// placed. PartsError naming `name` when no column names the designators.
Placement PlacementOfTable(const PartsTableView& table, std::string_view name,
                           PlacementFormat format);

// A cell without the blanks and tabs around it (and a line's carriage return).
std::string_view Trimmed(std::string_view text);
// ASCII letters lowered.
std::string Lowered(std::string_view text);
// The first column whose name's key (column_name_key) is one of `keys`,
// tried in their order.
std::optional<std::size_t> FirstNamed(std::span<const std::string> header,
                                      std::initializer_list<std::string_view> keys);

// Whether a do-not-place cell says yes (DNP: "1", "yes", "x", "DNP") or a
// populate cell says no ("0", "no", "false"); an empty cell says neither.
bool SaysYes(std::string_view cell);
bool SaysNo(std::string_view cell);

}  // namespace ztxgrp::parts_detail
