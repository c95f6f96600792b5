// libFuzzer target: one list through grouping and ungrouping.
#include "checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= 8192) ztxgrp::fuzz::AbortOnProblem(ztxgrp::fuzz::CheckList(data, size));
  return 0;
}
