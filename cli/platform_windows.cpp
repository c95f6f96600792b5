#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdio>
#include <limits>

#include "platform.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

HANDLE ConsoleOf(std::FILE* file) {
  const int fd = _fileno(file);
  if (fd < 0) return nullptr;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
  return handle;
}

// UTF-8 to UTF-16 without failing: a byte that starts no valid sequence
// becomes U+FFFD (a console shows text; it does not store it).
std::wstring Widened(std::string_view text) {
  const int units =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  return wide;
}

}  // namespace

void PrepareStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

std::wstring WindowsPath(const std::string& path) {
  const std::u16string units = Utf8ToUtf16(path);
  return std::wstring(units.begin(), units.end());
}

std::FILE* OpenForReading(const std::string& path) {
  std::wstring wide;
  try {
    wide = WindowsPath(path);
  } catch (const EncodingError&) {
    errno = EINVAL;
    return nullptr;
  }
  return _wfopen(wide.c_str(), L"rb");
}

std::optional<std::uint64_t> RegularFileSize(std::FILE* file) {
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG)
    return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

bool IsConsole(std::FILE* file) {
  return ConsoleOf(file) != nullptr;
}

bool IsTerminal(std::FILE* file) {
  return IsConsole(file);
}

bool WriteConsoleText(std::FILE* file, std::string_view text) {
  const HANDLE console = ConsoleOf(file);
  if (console == nullptr) return false;
  constexpr std::size_t kChunk = 1 << 20;
  for (std::size_t at = 0; at < text.size();) {
    // Chunks end on a character's first byte.
    std::size_t end = std::min(text.size(), at + kChunk);
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    const std::wstring wide = Widened(text.substr(at, end - at));
    for (std::size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(wide.size() - done),
                         &written, nullptr) ||
          written == 0)
        return false;
      done += written;
    }
    at = end;
  }
  return true;
}

void WriteMessage(std::string_view line) noexcept {
  try {
    if (IsConsole(stderr)) {
      WriteConsoleText(stderr, std::string(line) + "\r\n");
      return;
    }
  } catch (...) {
  }
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
}

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int k = 0; k < argc; ++k) {
    const std::u16string_view text(reinterpret_cast<const char16_t*>(argv[k]));
    std::string& out = arguments.emplace_back();
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
      const char16_t unit = text[at];
      if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
          text[at + 1] <= 0xDFFF) {
        ++at;  // a pair
      } else if (unit >= 0xD800 && unit <= 0xDFFF) {
        out += Utf16ToUtf8(text.substr(start, at - start));
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
        start = at + 1;
      }
    }
    out += Utf16ToUtf8(text.substr(start));
  }
  return arguments;
}

}  // namespace ztxgrp::cli
