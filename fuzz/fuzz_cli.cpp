// libFuzzer target: the command's input layer (line and JSON readers,
// --split) and the command run on what they read.
#include "checks.hpp"
#include "cli_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= 8192) ztxgrp::fuzz::AbortOnProblem(ztxgrp::fuzz::CheckCommandInput(data, size));
  return 0;
}
