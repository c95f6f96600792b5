#include "zip_writer.hpp"

#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "zip_entries.hpp"
#include "ztxgrp/parts_list.hpp"

namespace ztxgrp::workbook {
namespace {

// minizip writes through these callbacks into a string, seeking back to
// finish each entry's header.
struct Sink {
  std::string bytes;
  std::uint64_t position = 0;
  bool outOfMemory = false;
};

voidpf OpenSink(voidpf opaque, const void*, int) {
  return opaque;
}

uLong ReadNothing(voidpf, voidpf, void*, uLong) {
  return 0;
}

uLong WriteSink(voidpf, voidpf stream, const void* buffer, uLong size) {
  auto* sink = static_cast<Sink*>(stream);
  try {
    const std::size_t at = static_cast<std::size_t>(sink->position);
    if (at + size > sink->bytes.size()) sink->bytes.resize(at + size);
    std::memcpy(sink->bytes.data() + at, buffer, size);
    sink->position += size;
    return size;
  } catch (const std::bad_alloc&) {
    sink->outOfMemory = true;  // minizip sees a short write; the caller is told
    return 0;
  }
}

ZPOS64_T TellSink(voidpf, voidpf stream) {
  return static_cast<Sink*>(stream)->position;
}

long SeekSink(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* sink = static_cast<Sink*>(stream);
  return SeekInMemory(sink->bytes.size(), sink->position, offset, origin);
}

int CloseSink(voidpf, voidpf) {
  return 0;
}

int SinkError(voidpf, voidpf) {
  return 0;
}

[[noreturn]] void Failed(int status, const Sink& sink) {
  if (sink.outOfMemory || status == ZIP_INTERNALERROR || status == Z_MEM_ERROR)
    throw std::bad_alloc();
  throw PartsError("cannot write the workbook: its archive cannot be made (minizip error " +
                   std::to_string(status) + ")");
}

}  // namespace

struct ZipWriter::State {
  Sink sink;
  zipFile file = nullptr;
};

ZipWriter::ZipWriter() : state_(std::make_unique<State>()) {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = OpenSink;
  functions.zread_file = ReadNothing;
  functions.zwrite_file = WriteSink;
  functions.ztell64_file = TellSink;
  functions.zseek64_file = SeekSink;
  functions.zclose_file = CloseSink;
  functions.zerror_file = SinkError;
  functions.opaque = &state_->sink;
  state_->file = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
  if (state_->file == nullptr) throw std::bad_alloc();
}

ZipWriter::~ZipWriter() {
  if (state_->file != nullptr) zipClose(state_->file, nullptr);
}

void ZipWriter::Add(const std::string& name, std::string_view bytes, bool stored) {
  zip_fileinfo info{};
  info.tmz_date.tm_mday = 1;
  info.tmz_date.tm_year = 1980;
  // Deflated for speed (level 1): the parts are text, and most of what
  // deflating gains comes at its first level.
  int status = zipOpenNewFileInZip64(state_->file, name.c_str(), &info, nullptr, 0, nullptr, 0,
                                     nullptr, stored ? 0 : Z_DEFLATED, stored ? 0 : 1,
                                     bytes.size() >= 0xFFFFFFFFu ? 1 : 0);
  if (status != ZIP_OK) Failed(status, state_->sink);
  while (status == ZIP_OK && !bytes.empty()) {
    const std::size_t piece = std::min<std::size_t>(bytes.size(), INT_MAX / 2);
    status = zipWriteInFileInZip(state_->file, bytes.data(), static_cast<unsigned>(piece));
    bytes.remove_prefix(piece);
  }
  const int closed = zipCloseFileInZip(state_->file);
  if (status != ZIP_OK) Failed(status, state_->sink);
  if (closed != ZIP_OK) Failed(closed, state_->sink);
}

std::string ZipWriter::Finish() {
  const int status = zipClose(std::exchange(state_->file, nullptr), nullptr);
  if (status != ZIP_OK) Failed(status, state_->sink);
  return std::move(state_->sink.bytes);
}

}  // namespace ztxgrp::workbook
