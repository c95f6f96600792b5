#include <iostream>
#include <string>
#include <vector>

#include <ztxgrp/ztxgrp.hpp>

int main() {
  const std::vector<std::string> parts = {"R3", "R1", "C2", "R2", "R5"};
  for (const std::string& entry : ztxgrp::group(parts)) std::cout << entry << '\n';
  return ztxgrp::is_valid_range("R1-R3") ? 0 : 1;
}
