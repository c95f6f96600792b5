// Cells of designators (a spreadsheet's range, a list of texts) as one
// list: each cell read as a parts-list cell is read (designator_split.hpp),
// an empty cell holding none, and the result written as one text joined by
// the join separator. What `ztxgrp group -s -j JOIN` gives on one line; the
// Calc add-in's functions are these calls.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "ztxgrp/designator_sets.hpp"

namespace ztxgrp {

// The cells' designators, ranges expanded, grouped ("C1-C4, R1"). Errors:
// the join's (check_join), cell_designators', the engine's runtime errors
// (5 for a shortest run below 2), and runtime error 6 once the cells hold
// more designators than a list may.
std::string group_cells(std::span<const std::string> cells, std::string_view join, int min_run);

// The cells' pieces, ranges expanded and sorted, as ungroup writes them.
// Errors as group_cells'.
std::string ungroup_cells(std::span<const std::string> cells, std::string_view join);

// The designators of one range text, joined. Errors: the join's and
// ungroup_item's.
std::string expand_cell(std::string_view cell, std::string_view join);

// How many designators the cells hold, ranges counted in full. Errors as
// group_cells'.
std::size_t count_cell_designators(std::span<const std::string> cells, std::string_view join);

// Two ranges of cells as sets (designator_sets.hpp), each range one list of
// its cells' designators: the result joined. Errors: the join's and those
// of combine_designators.
std::string combine_cells(SetOperation operation, std::span<const std::string> first,
                          std::span<const std::string> second, std::string_view join, int min_run);

// The `count` lowest free numbers of `prefix` among the cells' designators,
// joined, and how many there were. Errors: the join's and those of
// free_designators.
FreeDesignators free_cells(std::span<const std::string> cells, std::string_view prefix,
                           std::size_t count, std::string_view join, int min_run);

}  // namespace ztxgrp
