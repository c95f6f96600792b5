// What differs between POSIX systems and Windows for the command: the
// standard streams, file names and the console. Everything else in the
// command is the same code on both.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ztxgrp::cli {

// Sets the standard streams up to carry bytes as they are: no text-mode
// translation of line ends (Windows); a file-size limit fails the write,
// to be reported, instead of killing the process (POSIX).
void PrepareStandardStreams();

// Opens a file for reading in binary mode by its UTF-8 name; nullptr with
// errno set on failure.
std::FILE* OpenForReading(const std::string& path);

// The size of `file` when it is a regular file (not a pipe, device or
// directory), so that it can be read into one allocation.
std::optional<std::uint64_t> RegularFileSize(std::FILE* file);

// Whether `file` is a console window, where text is written as UTF-16 so
// that every character shows whatever the console's code page (Windows).
bool IsConsole(std::FILE* file);

// Whether `file` is a terminal (a console on Windows), where a workbook's
// bytes would only garble the screen.
bool IsTerminal(std::FILE* file);
// Writes complete UTF-8 text to a console; false on failure.
bool WriteConsoleText(std::FILE* file, std::string_view text);

// Writes one message line (without its "\n") to standard error.
void WriteMessage(std::string_view line) noexcept;

#ifdef _WIN32
// The program's arguments in UTF-8. An unpaired surrogate (which no UTF-8
// text holds) is written as its three-byte form, so that the command's
// check of its arguments reports it as invalid at its byte.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
// A UTF-8 file name as Windows takes it; EncodingError when it is not UTF-8.
std::wstring WindowsPath(const std::string& path);
#endif

}  // namespace ztxgrp::cli
