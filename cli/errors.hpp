// The command's own failures; the engine's are RuntimeError. All of them are
// turned into a message and an exit status in one place (failure.hpp).
#pragma once

#include <stdexcept>
#include <string>

namespace ztxgrp::cli {

// A failure of the command that is no runtime error of the engine: its
// message and the exit status it ends the command with.
class CommandError : public std::runtime_error {
 public:
  CommandError(const std::string& message, int status, bool hintHelp = false)
      : std::runtime_error(message), status_(status), hintHelp_(hintHelp) {}
  int status() const noexcept { return status_; }
  // Whether the message is followed by a hint to --help.
  bool hintHelp() const noexcept { return hintHelp_; }

 private:
  int status_;
  bool hintHelp_;
};

// Arguments that do not make a valid command: exit status 2 with a hint to --help.
class UsageError : public CommandError {
 public:
  explicit UsageError(const std::string& message) : CommandError(message, 2, true) {}
};

// Input that cannot be used (unreadable, invalid UTF-8, malformed JSON or
// CSV), and output that could not be written in full: exit status 2.
class InputError : public CommandError {
 public:
  explicit InputError(const std::string& message) : CommandError(message, 2) {}
};
class OutputError : public CommandError {
 public:
  explicit OutputError(const std::string& message) : CommandError(message, 2) {}
};

// The text of an errno value for messages.
std::string Reason(int error);

}  // namespace ztxgrp::cli
