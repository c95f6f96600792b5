// The comparison of two tables for the library's own doors, which checked
// the options before reading anything: diff_tables without checking them
// again.
#pragma once

#include "ztxgrp/parts_diff.hpp"

namespace ztxgrp::parts_detail {

// diff_tables with `options` already checked (check_parts_options).
PartsDiff CompareTables(const PartsTableView& old_table, const PartsTableView& new_table,
                        const PartsOptions& options, const PartsDiffNames& tables);

}  // namespace ztxgrp::parts_detail
