// A ZIP archive made in memory with minizip: entries added in order, each
// stored or deflated, dated 1980-01-01 so that the same entries give the
// same bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ztxgrp::workbook {

class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // `stored`: kept as it is, not deflated (an OpenDocument's mimetype).
  void Add(const std::string& name, std::string_view bytes, bool stored = false);
  // The archive's bytes; no entry may be added after.
  std::string Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ztxgrp::workbook
