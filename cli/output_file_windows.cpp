// Windows: the output file is written beside its target and moved over it
// with MoveFileExW, so a reader never sees half a file and the old file
// stays intact on any failure; devices (NUL, CON) and pipes are written in
// place.
#include <windows.h>

#include <memory>
#include <string>

#include "errors.hpp"
#include "output_file.hpp"
#include "platform.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

struct HandleCloser {
  using pointer = HANDLE;
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string Narrow(const std::wstring& text) {
  return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// The system's words for an error, on one line.
std::string WindowsReason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words = length > 0 ? std::wstring(text, length) : L"";
  LocalFree(text);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' ||
                            words.back() == L' ' || words.back() == L'.'))
    words.pop_back();
  if (words.empty()) return "Windows error " + std::to_string(error);
  try {
    return Narrow(words);
  } catch (const EncodingError&) {
    return "Windows error " + std::to_string(error);
  }
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw OutputError(what + " " + path + ": " + WindowsReason(GetLastError()));
}

void WriteAll(HANDLE file, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
      Fail("cannot write", path);
    bytes.remove_prefix(written);
  }
}

std::wstring DirectoryOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

void WriteOutputFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) throw UsageError("--output: the file name is empty");
  std::wstring target;
  try {
    target = WindowsPath(path);
  } catch (const EncodingError&) {
    throw OutputError("cannot write " + path + ": the name is not valid UTF-8");
  }
  Handle existing(CreateFileW(target.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (existing.get() != INVALID_HANDLE_VALUE) {
    if (GetFileType(existing.get()) != FILE_TYPE_DISK) {
      const Handle device(CreateFileW(target.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
      if (device.get() == INVALID_HANDLE_VALUE) Fail("cannot write", path);
      WriteAll(device.get(), bytes, path);
      return;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetLastError(ERROR_DIRECTORY);
      Fail("cannot write", path);
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // A link: its target is replaced, the link kept.
      wchar_t final[MAX_PATH * 4];
      const DWORD length = GetFinalPathNameByHandleW(existing.get(), final, MAX_PATH * 4, 0);
      if (length == 0 || length >= MAX_PATH * 4) Fail("cannot write", path);
      target.assign(final, length);
    }
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
    Fail("cannot write", path);
  }
  existing.reset();

  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(DirectoryOf(target).c_str(), L"ztx", 0, temporary) == 0)
    Fail("cannot create a file beside", path);
  struct Remover {
    const wchar_t* path;
    ~Remover() {
      if (path) DeleteFileW(path);
    }
  } remover{temporary};
  {
    const Handle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) Fail("cannot write", path);
    WriteAll(file.get(), bytes, path);
  }
  if (!MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
    Fail("cannot replace", path);
  remover.path = nullptr;
}

}  // namespace ztxgrp::cli
