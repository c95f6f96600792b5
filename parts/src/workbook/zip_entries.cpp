#include "zip_entries.hpp"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::workbook {
namespace {

// minizip reads through these callbacks from the bytes in memory.
struct Source {
  std::string_view bytes;
  std::uint64_t position = 0;
};

voidpf OpenSource(voidpf opaque, const void*, int) {
  return opaque;
}

uLong ReadSource(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* source = static_cast<Source*>(stream);
  const std::uint64_t left = source->bytes.size() - source->position;
  const uLong count = static_cast<uLong>(std::min<std::uint64_t>(size, left));
  std::memcpy(buffer, source->bytes.data() + source->position, count);
  source->position += count;
  return count;
}

uLong WriteNothing(voidpf, voidpf, const void*, uLong) {
  return 0;
}

ZPOS64_T TellSource(voidpf, voidpf stream) {
  return static_cast<Source*>(stream)->position;
}

long SeekSource(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* source = static_cast<Source*>(stream);
  return SeekInMemory(source->bytes.size(), source->position, offset, origin);
}

int CloseSource(voidpf, voidpf) {
  return 0;
}
int SourceError(voidpf, voidpf) {
  return 0;
}

[[noreturn]] void Refuse(std::string_view name, std::string_view what) {
  throw PartsError("the workbook's part " + std::string(name) + " " + std::string(what));
}

}  // namespace

long SeekInMemory(std::uint64_t size, std::uint64_t& position, std::uint64_t offset, int origin) {
  std::uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      base = 0;
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      base = position;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      base = size;
      break;
    default:
      return -1;
  }
  if (offset > size || base > size - offset) return -1;
  position = base + offset;
  return 0;
}

struct ZipEntries::State {
  Source source;
  unzFile file = nullptr;
};

ZipEntries::ZipEntries(std::string_view bytes) : state_(std::make_unique<State>()) {
  state_->source.bytes = bytes;
  zlib_filefunc64_def functions{};
  functions.zopen64_file = OpenSource;
  functions.zread_file = ReadSource;
  functions.zwrite_file = WriteNothing;
  functions.ztell64_file = TellSource;
  functions.zseek64_file = SeekSource;
  functions.zclose_file = CloseSource;
  functions.zerror_file = SourceError;
  functions.opaque = &state_->source;
  state_->file = unzOpen2_64("", &functions);
  if (state_->file == nullptr)
    throw PartsError("the workbook is damaged: its archive cannot be read");
}

ZipEntries::~ZipEntries() {
  if (state_->file != nullptr) unzClose(state_->file);
}

bool ZipEntries::Has(std::string_view name) {
  // Part names compare without regard to letter case (2: ignoring case).
  return unzLocateFile(state_->file, std::string(name).c_str(), 2) == UNZ_OK;
}

void ZipEntries::Read(std::string_view name, const std::function<void(std::string_view)>& sink) {
  if (!Has(name)) Refuse(name, "is missing");
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(state_->file, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    Refuse(name, "is damaged");
  if ((info.flag & 1) != 0) Refuse(name, "is encrypted");
  if (unzOpenCurrentFile(state_->file) != UNZ_OK)
    Refuse(name, "is damaged or compressed in a way that cannot be read");
  std::vector<char> buffer(std::size_t{1} << 16);
  std::uint64_t total = 0;
  bool ok = true;
  try {
    for (;;) {
      const int count =
          unzReadCurrentFile(state_->file, buffer.data(), static_cast<unsigned>(buffer.size()));
      if (count < 0) Refuse(name, "is damaged");
      if (count == 0) break;
      total += static_cast<std::uint64_t>(count);
      if (total > kMaxWorkbookPartBytes)
        Refuse(name, "expands beyond " + std::to_string(kMaxWorkbookPartBytes >> 20) +
                         " MiB, the most a workbook's part may hold");
      sink(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
    }
  } catch (...) {
    ok = false;
    unzCloseCurrentFile(state_->file);
    throw;
  }
  if (ok && unzCloseCurrentFile(state_->file) != UNZ_OK)
    Refuse(name, "is damaged (its checksum differs)");
}

}  // namespace ztxgrp::workbook
