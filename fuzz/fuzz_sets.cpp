// libFuzzer target: designator lists as sets.
#include "checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= 4096) ztxgrp::fuzz::AbortOnProblem(ztxgrp::fuzz::CheckSets(data, size));
  return 0;
}
