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
#include <utility>

#include "errors.hpp"

namespace ztxgrp::cli {

// A stream buffer over a C stream. Read errors raise InputError; with
// `refuseNul`, so does a NUL byte (JSON text never holds one, and the JSON
// reader would take it for the end of the input).
class InputBuffer : public std::streambuf {
 public:
  InputBuffer(std::FILE* file, bool refuseNul = false, std::string name = "standard input")
      : file_(file), refuseNul_(refuseNul), name_(std::move(name)) {}

  // One line without its "\n" (and without a "\r" before it); false at the
  // end of the input. A UTF-8 byte-order mark that starts the input is
  // skipped. A last line without "\n" counts; an empty input has no lines.
  // With `keepEnd` the line keeps its "\r\n" or "\n".
  bool ReadLine(std::string& line, bool keepEnd = false);

  // Every byte not yet read, as it is (no byte-order mark is skipped);
  // `expected`, when known, is room reserved at once.
  std::string ReadAll(std::size_t expected = 0);

  // Whether the input started with a byte-order mark (known after the first
  // line was read).
  bool hadByteOrderMark() const { return byteOrderMark_; }

 protected:
  int_type underflow() override;

 private:
  std::FILE* file_;
  bool refuseNul_;
  std::string name_;  // in messages
  bool started_ = false;
  bool byteOrderMark_ = false;
  std::uint64_t consumed_ = 0;  // bytes before the current buffer
  std::array<char, 1 << 16> buffer_{};
};

// Buffered output to a C stream; every write and the final flush are checked.
// To a console window (Windows) the text goes as UTF-16, whole characters at
// a time.
class OutputWriter {
 public:
  explicit OutputWriter(std::FILE* file, std::string name = "standard output");
  void Write(std::string_view data);
  // Whether the output is a terminal.
  bool Terminal() const;
  // Flushes everything written; OutputError when any of it did not arrive.
  void Finish();

 private:
  void WriteToConsole(bool all);

  std::FILE* file_;
  std::string name_;  // in messages
  bool console_;
  std::string pending_;  // console text not yet written
};

}  // namespace ztxgrp::cli
