// Standard input and output with every failure checked.
//
// A read error (standard input is a directory, or closed) must not look like
// the end of the input, and a write error (a full disk, a closed pipe, a
// file-size limit) must not look like success: both raise the errors of
// errors.hpp.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <streambuf>
#include <string>
#include <string_view>

#include "errors.hpp"

namespace ztxgrp::cli {

// A stream buffer over a C stream. Read errors raise InputError; with
// `refuseNul`, so does a NUL byte (JSON text never holds one, and the JSON
// reader would take it for the end of the input).
class InputBuffer : public std::streambuf {
 public:
  InputBuffer(std::FILE* file, bool refuseNul = false) : file_(file), refuseNul_(refuseNul) {}

  // One line without its "\n" (and without a "\r" before it); false at the
  // end of the input. A UTF-8 byte-order mark that starts the input is
  // skipped. A last line without "\n" counts; an empty input has no lines.
  bool ReadLine(std::string& line);

 protected:
  int_type underflow() override;

 private:
  std::FILE* file_;
  bool refuseNul_;
  bool started_ = false;
  std::uint64_t consumed_ = 0;  // bytes before the current buffer
  std::array<char, 1 << 16> buffer_{};
};

// Buffered output to a C stream; every write and the final flush are checked.
class OutputWriter {
 public:
  explicit OutputWriter(std::FILE* file) : file_(file) {}
  void Write(std::string_view data);
  // Flushes everything written; OutputError when any of it did not arrive.
  void Finish();

 private:
  std::FILE* file_;
};

}  // namespace ztxgrp::cli
