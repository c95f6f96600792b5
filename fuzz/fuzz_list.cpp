// libFuzzer target: one list through grouping and ungrouping.
#include <cstdio>
#include <cstdlib>

#include "checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;
  const std::string problem = ztxgrp::fuzz::CheckList(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
