// A table of rows collapsed or expanded as one call: the options checked
// once, the columns chosen by name, the rows read and written. The rows'
// front ends (Python's dicts, JavaScript's objects) call this alone.
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_list.hpp"

namespace ztxgrp {

PartsResult process_parts_rows(const PartsTableView& table, const PartsOptions& options) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    // No rows: nothing to collapse or expand, and no columns known.
    if (table.cells.empty()) return PartsResult();
    const PartsColumns columns = choose_columns(table.header, options);
    return options.expand ? expand_rows(table, columns) : collapse_rows(table, columns);
  });
}

}  // namespace ztxgrp
