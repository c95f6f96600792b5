// libFuzzer target: workbooks read, collapsed or expanded, and written.
#include "checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= 8192) ztxgrp::fuzz::AbortOnProblem(ztxgrp::fuzz::CheckWorkbook(data, size));
  return 0;
}
