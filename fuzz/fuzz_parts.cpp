// libFuzzer target: the parts-list layer, collapsed and expanded.
#include "checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= 8192) ztxgrp::fuzz::AbortOnProblem(ztxgrp::fuzz::CheckParts(data, size));
  return 0;
}
