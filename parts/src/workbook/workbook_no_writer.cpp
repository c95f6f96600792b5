// The WebAssembly module has no files, and libxlsxwriter writes workbooks
// only to files: there, a workbook asked for is refused, clearly.
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp {

std::string write_workbook(const WorkbookSheet&) {
  throw PartsError(
      "this build cannot write workbooks (WebAssembly has no files for libxlsxwriter); ask for "
      "CSV (format \"csv\") or use the command or the Python package");
}

}  // namespace ztxgrp
