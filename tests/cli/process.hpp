// Runs the ztxgrp binary with arguments and standard input, capturing its
// exit status, standard output and standard error (through temporary files,
// so no pipe can fill up and stall either side).
#pragma once

#include <string>
#include <vector>

namespace ztxgrp::testing {

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

}  // namespace ztxgrp::testing
