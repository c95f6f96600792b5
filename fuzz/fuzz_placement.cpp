// libFuzzer target: placement files, read and checked against a parts list.
#include "checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= 16384) ztxgrp::fuzz::AbortOnProblem(ztxgrp::fuzz::CheckPlacement(data, size));
  return 0;
}
