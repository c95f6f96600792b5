// Designator lists as sets: each operand is one text read as a parts-list
// cell is read (separators, ranges, ranges typed with blanks: "R1-R3, C2"),
// and a designator is a member by its text as written, as comparing parts
// lists matches designators (R001 and R1 are two members). Results are the
// entries of `ztxgrp group`, in its order: runs of designators the engine
// writes back as written are folded into ranges, the others kept whole
// where the engine's order places them.
//
// Lists may hold up to kMaxListDesignators designators, ranges expanded
// (PartsError past it); the engine's limit of one call applies to one range
// and to the designators of one prefix in a result. Errors: the engine's
// RuntimeError naming the item (R3-R1 is 9), PartsError naming the operand
// for what no cell may hold (a lone dash), EncodingError, runtime error 7.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ztxgrp {

enum class SetOperation {
  Union,      // every designator in any operand
  Intersect,  // the designators in every operand
  Subtract,   // the designators of the first operand in none of the others
  Xor,        // the designators in an odd number of the operands
};

// The operation on the operands, as group's entries ("C2", "R1-R3").
// `min_run`: the shortest run written as a range (runtime error 5 below 2).
std::vector<std::string> combine_designators(SetOperation operation,
                                             std::span<const std::string_view> operands,
                                             int min_run);

struct DesignatorCount {
  std::size_t designators = 0;  // each designator once
  std::size_t repeated = 0;     // designators written more than once
};
// Each operand's number of designators, ranges expanded.
std::vector<DesignatorCount> count_designators(std::span<const std::string_view> operands);

// For each item (a designator or a range, read as a cell is): whether all of
// it is in `list`.
std::vector<bool> contains_designators(std::string_view list,
                                       std::span<const std::string_view> items);

// For each prefix, the numbers missing between its lowest and highest
// designator, as group's entries (R1-R5, R9 gives R6-R8). Only designators
// the engine writes back as written have numbers here.
std::vector<std::string> designator_gaps(std::string_view list, int min_run);

// The `count` lowest numbers from 1 up that `prefix` does not use in `list`,
// as group's entries; fewer when fewer are left up to the engine's largest
// number (`found` says how many). PartsError when `prefix` followed by a
// number is no designator of that prefix.
struct FreeDesignators {
  std::vector<std::string> entries;
  std::size_t found = 0;
};
FreeDesignators free_designators(std::string_view list, std::string_view prefix, std::size_t count,
                                 int min_run);

// The warning when fewer than `wanted` numbers of `prefix` were free
// ("only 2 numbers of R are free up to 32767, not 3"); empty when all were.
std::string free_shortfall(std::string_view prefix, std::size_t found, std::size_t wanted);

}  // namespace ztxgrp
