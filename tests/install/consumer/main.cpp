#include <iostream>
#include <string>
#include <vector>

#include <ztxgrp/parts_file.hpp>
#include <ztxgrp/ztxgrp.hpp>

int main() {
  const std::vector<std::string> parts = {"R3", "R1", "C2", "R2", "R5"};
  for (const std::string& entry : ztxgrp::group(parts)) std::cout << entry << '\n';
  // The parts-list library and its CSV reader, linked from the install.
  const ztxgrp::PartsFileResult file =
      ztxgrp::process_parts_file("Ref\nR2\nR1\n", ztxgrp::PartsOptions());
  if (file.bytes != "Ref,Qty\nR1-R2,2\n") return 2;
  return ztxgrp::is_valid_range("R1-R3") ? 0 : 1;
}
