// Parts-list CSV files (RFC 4180: quoted fields with commas, quotes and line
// breaks, CRLF or LF), read and written with libcsv.
//
// Fields are kept exactly as written: no blanks are trimmed. Lines that hold
// nothing, and rows whose fields are all empty, are skipped. Every field must
// be UTF-8; a UTF-8 byte-order mark may start the file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io.hpp"

namespace ztxgrp::cli {

struct CsvRow {
  std::vector<std::string> fields;
  std::size_t line = 0;  // where the row starts, 1-based
};

struct CsvTable {
  std::vector<std::string> header;
  std::vector<CsvRow> rows;  // each as wide as the header
  bool byteOrderMark = false;
  bool crlf = false;  // the header line ended with CRLF
};

// The whole file. InputError, naming the line, for malformed CSV, invalid
// UTF-8, an empty file, or a row with more non-empty fields than the header
// has columns (shorter rows are filled with empty fields).
CsvTable ReadCsv(InputBuffer& in);

// Appends one row to `text`: fields quoted where they hold a comma, a quote
// or a line break, ended by CRLF or LF.
void AppendCsvRow(std::string& text, const std::vector<std::string>& fields, bool crlf);

}  // namespace ztxgrp::cli
