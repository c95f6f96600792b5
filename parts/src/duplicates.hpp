// Designators that occur more than once in a parts list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "designator_cell.hpp"

namespace ztxgrp::parts_detail {

// The indices into `all` of each text that occurs more than once, each
// group ascending, the groups in the order of their texts. Time linear in
// the designators (plus sorting within groups of equal hashes).
std::vector<std::vector<std::size_t>> RepeatedDesignators(std::span<const Designator> all);

// The same groups, each given to `visit` as it is found (indices ascending,
// the groups in no order), with no list of them kept.
void ForEachRepeated(std::span<const Designator> all,
                     const std::function<void(std::span<const std::size_t>)>& visit);

// Sorts keys whose high bits are a keyed hash (so spread evenly) faster
// than a comparison sort: into buckets by their top bits, then each bucket.
void SortKeys(std::vector<std::uint64_t>& keys);

}  // namespace ztxgrp::parts_detail
