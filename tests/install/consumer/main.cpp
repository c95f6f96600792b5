// Every installed header, included as a caller outside the tree includes
// them, and a call through each library.
#include <iostream>
#include <string>
#include <vector>

#include <ztxgrp/cell_lists.hpp>
#include <ztxgrp/csv_file.hpp>
#include <ztxgrp/designator_split.hpp>
#include <ztxgrp/element_text.hpp>
#include <ztxgrp/entry_text.hpp>
#include <ztxgrp/error_message.hpp>
#include <ztxgrp/failure.hpp>
#include <ztxgrp/icls_group.hpp>
#include <ztxgrp/limits.hpp>
#include <ztxgrp/list_texts.hpp>
#include <ztxgrp/located_errors.hpp>
#include <ztxgrp/number_text.hpp>
#include <ztxgrp/parts_diff.hpp>
#include <ztxgrp/parts_file.hpp>
#include <ztxgrp/parts_list.hpp>
#include <ztxgrp/parts_options.hpp>
#include <ztxgrp/runtime_error.hpp>
#include <ztxgrp/utf.hpp>
#include <ztxgrp/value.hpp>
#include <ztxgrp/workbook_file.hpp>
#include <ztxgrp/ztxgrp.hpp>

int main() {
  const std::vector<std::string> parts = {"R3", "R1", "C2", "R2", "R5"};
  for (const std::string& entry : ztxgrp::group(parts)) std::cout << entry << '\n';
  // The parts-list library and its CSV reader, linked from the install.
  const ztxgrp::PartsFileResult file =
      ztxgrp::process_parts_file("Ref\nR2\nR1\n", ztxgrp::PartsOptions());
  if (file.bytes != "Ref,Qty\nR1-R2,2\n") return 2;
  try {
    ztxgrp::group(parts, 1);  // a shortest run below 2
    return 3;
  } catch (const ztxgrp::RuntimeError& error) {
    if (ztxgrp::describe_failure(std::current_exception()).number != error.number()) return 4;
  }
  return ztxgrp::is_valid_range("R1-R3") ? 0 : 1;
}
