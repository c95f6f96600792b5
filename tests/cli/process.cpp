#include "process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace ztxgrp::testing {
namespace {

std::string TempPath(const char* tag) {
  char pattern[] = "/tmp/ztxgrp-test-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  close(fd);
  return std::string(pattern) + tag;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input) {
  const std::string inPath = TempPath(".in"), outPath = TempPath(".out"),
                    errPath = TempPath(".err");
  std::ofstream(inPath, std::ios::binary) << input;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  ProcessResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = Slurp(outPath);
  result.err = Slurp(errPath);
  for (const auto& path : {inPath, outPath, errPath}) std::remove(path.c_str());
  std::remove(inPath.substr(0, inPath.size() - 3).c_str());
  std::remove(outPath.substr(0, outPath.size() - 4).c_str());
  std::remove(errPath.substr(0, errPath.size() - 4).c_str());
  return result;
}

const std::string& CommandUnderTest() {
  static const std::string path = [] {
    const char* chosen = std::getenv("ZTXGRP_COMMAND");
    return std::string(chosen && *chosen ? chosen : ZTXGRP_CLI_PATH);
  }();
  return path;
}

bool CommandIsWindows() {
  return std::getenv("ZTXGRP_COMMAND_WINDOWS") != nullptr;
}

}  // namespace ztxgrp::testing
