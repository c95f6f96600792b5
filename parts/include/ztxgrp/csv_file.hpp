// Parts-list CSV files (RFC 4180: quoted fields with separators, quotes and
// line breaks), read and written with libcsv (a line without quotes is only
// split at its separators, which is all libcsv would do), in the shapes spreadsheets
// export: comma, semicolon or tab separated; CRLF, LF or CR line ends; UTF-8
// with or without a byte-order mark, or UTF-16 with one. A file is written
// back in the separator, line end and encoding it came in.
//
// Fields are kept exactly as written: no blanks are trimmed. Lines that hold
// nothing, and rows whose fields are all empty, are skipped between the
// header and the first part; the first such line after a part ends the
// parts (rows below the parts: a total, notes, a signature block), unless
// the last row is named, and the lines from it on are kept as written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ztxgrp {

enum class CsvEncoding { Utf8, Utf8WithMark, Utf16LE, Utf16BE };

struct CsvFormat {
  CsvEncoding encoding = CsvEncoding::Utf8;
  char separator = ',';
  std::string lineEnd = "\n";  // that of the header line
};

// The rows' fields are views into the file's text, which the table keeps,
// or, for fields that were quoted, into one block beside it: a file of a
// hundred thousand rows is read without a string per field.
struct CsvTable {
  std::vector<std::string> header;
  std::vector<std::string_view> cells;  // row after row, each as wide as the header
  std::vector<std::size_t> lines;       // where each row starts, 1-based
  CsvFormat format;
  std::unique_ptr<const std::string> text;  // the file as UTF-8
  std::vector<char> unquoted;               // the quoted fields, unquoted
  // The lines above the header (a title block), as written, line ends
  // included: a view into `text`, empty when the header is the first row.
  std::string_view title;
  // The lines below the parts, from the empty line that ends them (or the
  // line after the last row named) to the end, as written; the line they
  // start at, how many of them hold a row, and whether the last row was
  // named.
  std::string_view below;
  std::size_t below_line = 0;
  std::size_t below_rows = 0;
  bool below_named = false;

  std::size_t RowCount() const noexcept { return lines.size(); }
  std::span<const std::string_view> Row(std::size_t r) const noexcept {
    return std::span<const std::string_view>(cells).subspan(r * header.size(), header.size());
  }
};

// Which row is the header: the record numbered `record` (1 for the first, as
// a spreadsheet numbers rows: a quoted field's line break starts no record,
// a blank line is one), else the first of the first kMaxTitleRows + 1
// records that `names` says is one (none: the first record). The records
// above it are the file's title, kept as written and read no further.
struct CsvHeaderChoice {
  std::optional<std::uint64_t> record;  // 64 bits on every machine: any row a user names
  std::function<bool(std::span<const std::string>)> names;
  // How messages name the option that chose `record` ("--header-row");
  // empty: they name none.
  std::string option;
  // The parts' last row, counted as `record` is; none: the parts end at
  // the first empty row after one. `last_option` names it in messages.
  std::optional<std::uint64_t> last;
  std::string last_option;
};
inline constexpr std::size_t kMaxTitleRows = 100;

// The whole file's bytes. `separator` none: the one of `,` `;` TAB that
// occurs most often outside quotes in the header line (`,` when none does).
// `header`: which record is the header; PartsError when the file has no
// such record.
// PartsError, naming the line, for malformed CSV (an unterminated quote at
// the line where it opened), invalid UTF-8 or UTF-16, UTF-16 without a
// byte-order mark, an empty file, or a row with more non-empty fields than
// the header has columns (shorter rows are filled with empty fields).
CsvTable ReadCsv(std::string bytes, std::optional<char> separator,
                 const CsvHeaderChoice& header = {});

// Appends one row: fields quoted where they hold the separator, a quote or a
// line break; ended by the format's line end. UTF-8; see Encoded.
void AppendCsvRow(std::string& text, std::span<const std::string> fields, const CsvFormat& format);

// The UTF-8 text of a whole file in the format's encoding, byte-order mark
// included where the input had one.
std::string Encoded(std::string_view text, const CsvFormat& format);

}  // namespace ztxgrp
