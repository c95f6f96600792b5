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

// The command the tests run: the one built beside them, or the program that
// ZTXGRP_COMMAND names (ztxgrp.exe run through Wine, say).
const std::string& CommandUnderTest();
// Whether that is the Windows build (ZTXGRP_COMMAND_WINDOWS set): cases that
// test what only a POSIX system does are skipped for it.
bool CommandIsWindows();

}  // namespace ztxgrp::testing
