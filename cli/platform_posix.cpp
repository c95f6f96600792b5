#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "platform.hpp"

namespace ztxgrp::cli {

void PrepareStandardStreams() {
  // SIGPIPE keeps its default: the command ends quietly, as filters do.
  std::signal(SIGXFSZ, SIG_IGN);
}

std::FILE* OpenForReading(const std::string& path) {
  return std::fopen(path.c_str(), "rb");
}

std::optional<std::uint64_t> RegularFileSize(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

bool IsConsole(std::FILE*) {
  return false;
}

bool IsTerminal(std::FILE* file) {
  return isatty(fileno(file)) == 1;
}

bool WriteConsoleText(std::FILE*, std::string_view) {
  return false;
}

void WriteMessage(std::string_view line) noexcept {
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace ztxgrp::cli
