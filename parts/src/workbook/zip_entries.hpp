// The entries of a ZIP archive held in memory, read with minizip: found by
// name (as workbooks name their parts, letter case aside) and expanded in
// pieces, never past a stated size, so that no archive can make a reader
// hold or inflate more than that.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ztxgrp::workbook {

// minizip's seek in bytes held in memory (`size` of them): `position`
// moved to `offset` from the start, the position or the end (`origin`, as
// minizip names them). -1, `position` unchanged, past the bytes.
long SeekInMemory(std::uint64_t size, std::uint64_t& position, std::uint64_t offset, int origin);

class ZipEntries {
 public:
  // PartsError when the bytes are no archive minizip can read.
  explicit ZipEntries(std::string_view bytes);
  ~ZipEntries();
  ZipEntries(const ZipEntries&) = delete;
  ZipEntries& operator=(const ZipEntries&) = delete;

  bool Has(std::string_view name);
  // Hands the entry's expanded bytes to `sink`, piece by piece. PartsError,
  // naming the entry, when it is missing, damaged, encrypted or expands
  // beyond kMaxWorkbookPartBytes.
  void Read(std::string_view name, const std::function<void(std::string_view)>& sink);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ztxgrp::workbook
