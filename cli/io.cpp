#include "io.hpp"

#include <cerrno>
#include <cstring>

#include "platform.hpp"

namespace ztxgrp::cli {

std::string Reason(int error) {
  return error != 0 ? std::strerror(error) : "unknown error";
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Console text is converted and written in pieces of about this size.
constexpr std::size_t kConsoleChunk = 1 << 16;

}  // namespace

InputBuffer::int_type InputBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  consumed_ += static_cast<std::uint64_t>(egptr() - eback());
  errno = 0;
  const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (got == 0) {
    if (std::ferror(file_)) throw InputError("cannot read " + name_ + ": " + Reason(errno));
    return traits_type::eof();
  }
  if (refuseNul_) {
    if (const void* nul = std::memchr(buffer_.data(), '\0', got))
      throw InputError(
          "NUL byte in JSON input at byte " +
          std::to_string(consumed_ + static_cast<std::uint64_t>(static_cast<const char*>(nul) -
                                                                buffer_.data())));
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
  return traits_type::to_int_type(*gptr());
}

bool InputBuffer::ReadLine(std::string& line, bool keepEnd) {
  line.clear();
  bool any = false, ended = false;
  for (;;) {
    if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof())) break;
    any = true;
    const std::size_t available = static_cast<std::size_t>(egptr() - gptr());
    const auto* end = static_cast<const char*>(std::memchr(gptr(), '\n', available));
    const std::size_t take = end ? static_cast<std::size_t>(end - gptr()) : available;
    line.append(gptr(), end && keepEnd ? take + 1 : take);
    gbump(static_cast<int>(end ? take + 1 : take));
    if (end) {
      ended = true;
      break;
    }
  }
  if (!started_) {
    started_ = true;
    if (line.starts_with(kByteOrderMark)) {
      byteOrderMark_ = true;
      line.erase(0, kByteOrderMark.size());
      if (line.empty() && !ended) return false;  // a mark and nothing else
    }
  }
  if (!keepEnd && !line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

std::string InputBuffer::ReadAll(std::size_t expected) {
  std::string bytes;
  bytes.reserve(expected);
  while (gptr() != egptr() || !traits_type::eq_int_type(underflow(), traits_type::eof())) {
    bytes.append(gptr(), egptr());
    setg(eback(), egptr(), egptr());
  }
  return bytes;
}

OutputWriter::OutputWriter(std::FILE* file, std::string name)
    : file_(file), name_(std::move(name)), console_(IsConsole(file)) {}

bool OutputWriter::Terminal() const {
  return IsTerminal(file_);
}

void OutputWriter::WriteToConsole(bool all) {
  // Up to the last character that is complete.
  std::size_t end = pending_.size();
  if (!all) {
    std::size_t lead = end;
    while (lead > 0 && end - lead < 4 &&
           (static_cast<unsigned char>(pending_[lead - 1]) & 0xC0) == 0x80)
      --lead;
    if (lead > 0) {
      const auto byte = static_cast<unsigned char>(pending_[lead - 1]);
      const std::size_t length = byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
      if (end - (lead - 1) < length) end = lead - 1;
    }
  }
  if (!WriteConsoleText(file_, std::string_view(pending_).substr(0, end)))
    throw OutputError("cannot write " + name_ + ": the console refused the text");
  pending_.erase(0, end);
}

void OutputWriter::Write(std::string_view data) {
  if (data.empty()) return;
  if (console_) {
    pending_ += data;
    if (pending_.size() >= kConsoleChunk) WriteToConsole(false);
    return;
  }
  errno = 0;
  if (std::fwrite(data.data(), 1, data.size(), file_) != data.size())
    throw OutputError("cannot write " + name_ + ": " + Reason(errno));
}

void OutputWriter::Finish() {
  if (console_) WriteToConsole(true);
  errno = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_))
    throw OutputError("cannot write " + name_ + ": " + Reason(errno));
}

}  // namespace ztxgrp::cli
