#include "ztxgrp/csv_file.hpp"

#include "csv_lines.hpp"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

// Collects rows, one input line at a time so that every row knows the line
// it started on. Fields are views: into the text for lines without quotes,
// and for fields that libcsv read into one block as large as the text
// (unquoting only ever shortens a field, so it never fills up and the views
// into it stay valid).
struct Collector {
  CsvTable& table;
  bool checkUtf8 = true;  // false when the whole text is known to be valid
  bool haveHeader = false;
  std::size_t rowStart = 0;  // the current row's first field in table.cells
  std::size_t line = 0;      // the line being fed
  std::size_t rowLine = 1;   // where the current row started
  std::size_t expectedRows = 0;
  std::size_t headerLine = 1;  // the line the header starts on; rows above it are the title

  // A field as libcsv hands it over, in its own buffer.
  void Field(const char* data, std::size_t size) {
    std::vector<char>& block = table.unquoted;
    if (size > block.capacity() - block.size())
      throw std::length_error("a CSV field outgrew its text");
    const std::size_t at = block.size();
    block.insert(block.end(), data, data + size);
    Add(std::string_view(block.data() + at, size));
  }

  // A line without quotes that continues no quoted field (`content`, its
  // line end left off): its fields are the texts between separators, as
  // written, which is all that libcsv would make of it. A blank line holds
  // no row.
  void PlainLine(std::string_view content, char separator) {
    if (content.empty()) return;
    for (std::size_t start = 0;;) {
      const std::size_t stop = content.find(separator, start);
      Add(content.substr(start, stop == std::string_view::npos ? stop : stop - start));
      if (stop == std::string_view::npos) break;
      start = stop + 1;
    }
    EndRow();
  }

  void Add(std::string_view field) {
    if (table.cells.size() == rowStart) rowLine = std::max(rowLine, line);
    table.cells.push_back(field);
  }

  void EndRow() {
    const std::size_t startLine = rowLine;
    rowLine = line + 1;
    const std::span<const std::string_view> row =
        std::span<const std::string_view>(table.cells).subspan(rowStart);
    if (startLine < headerLine ||
        std::all_of(row.begin(), row.end(), [](std::string_view f) { return f.empty(); })) {
      table.cells.resize(rowStart);
      return;
    }
    if (checkUtf8) {
      for (const std::string_view field : row) {
        try {
          CheckUtf8(field);
        } catch (const EncodingError& failure) {
          throw PartsError("line " + std::to_string(startLine) + ": " + failure.what());
        }
      }
    }
    if (!haveHeader) {
      table.header.assign(row.begin(), row.end());
      table.cells.resize(rowStart);
      haveHeader = true;
      // Room for a row per remaining line, the usual case.
      table.cells.reserve(expectedRows * table.header.size());
      table.lines.reserve(expectedRows);
      return;
    }
    const std::size_t width = table.header.size();
    if (row.size() > width && !std::all_of(row.begin() + static_cast<std::ptrdiff_t>(width),
                                           row.end(), [](std::string_view f) { return f.empty(); }))
      throw PartsError("line " + std::to_string(startLine) + " has " + std::to_string(row.size()) +
                       " fields; the header has " + std::to_string(width));
    table.cells.resize(rowStart + width);  // short rows filled with empty fields
    table.lines.push_back(startLine);
    rowStart = table.cells.size();
  }
};

// libcsv reports through C callbacks; an exception must not cross its C
// frames, so a failure is stored and rethrown after the call returns.
struct Callbacks {
  Collector* collector;
  std::exception_ptr failure;
};

void OnField(void* data, std::size_t size, void* context) {
  auto* callbacks = static_cast<Callbacks*>(context);
  if (callbacks->failure) return;
  try {
    callbacks->collector->Field(static_cast<const char*>(data), size);
  } catch (...) {
    callbacks->failure = std::current_exception();
  }
}

void OnRow(int, void* context) {
  auto* callbacks = static_cast<Callbacks*>(context);
  if (callbacks->failure) return;
  try {
    callbacks->collector->EndRow();
  } catch (...) {
    callbacks->failure = std::current_exception();
  }
}

int NoBlanks(unsigned char) {
  return 0;  // keep every field exactly as written
}

struct ParserFree {
  void operator()(csv_parser* parser) const { csv_free(parser); }
};

// libcsv's state inside a quoted field that has not ended.
constexpr int kFieldBegun = 2;
bool InQuotedField(const csv_parser& parser) {
  return parser.quoted != 0 && parser.pstate == kFieldBegun;
}

[[noreturn]] void ParserFailed(csv_parser& parser, std::size_t line) {
  const int error = csv_error(&parser);
  if (error == CSV_ENOMEM || error == CSV_ETOOBIG) throw std::bad_alloc();
  throw PartsError("malformed CSV in line " + std::to_string(line) + ": " + csv_strerror(error));
}

// The ends of a text's lines, found in order: the end of the line that
// starts at `at` is after its "\r\n", "\n" or "\r". The next "\n" is
// found fast and kept, so that a text without one (old Mac line ends) is
// not searched to its end once per line; a "\r" is looked for up to it.
class LineEnds {
 public:
  explicit LineEnds(std::string_view text) : text_(text) {}

  std::size_t After(std::size_t at) {
    if (newline_ < at || newline_ == kUnknown) {
      const auto* found =
          static_cast<const char*>(std::memchr(text_.data() + at, '\n', text_.size() - at));
      newline_ = found ? static_cast<std::size_t>(found - text_.data()) : text_.size();
    }
    const auto* ret = static_cast<const char*>(std::memchr(text_.data() + at, '\r', newline_ - at));
    const std::size_t end = ret ? static_cast<std::size_t>(ret - text_.data()) : newline_;
    if (end == text_.size()) return end;
    return end + (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n' ? 2 : 1);
  }

 private:
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  std::string_view text_;
  std::size_t newline_ = kUnknown;
};

// UTF-16 text of either byte order converted to UTF-8.
std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0)
    throw PartsError("the UTF-16 input ends in the middle of a character (an odd number of bytes)");
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t k = 0; k < units.size(); ++k) {
    const auto high = static_cast<unsigned char>(bytes[2 * k + (bigEndian ? 0 : 1)]);
    const auto low = static_cast<unsigned char>(bytes[2 * k + (bigEndian ? 1 : 0)]);
    units[k] = static_cast<char16_t>(high << 8 | low);
  }
  try {
    return Utf16ToUtf8(units);
  } catch (const EncodingError& error) {
    throw PartsError("invalid UTF-16 at byte " + std::to_string(2 + 2 * error.offset()) + ": " +
                     error.what());
  }
}

// The file as UTF-8 without a byte-order mark, and its encoding: a view
// into `bytes`, or into `converted` for UTF-16.
std::string_view Decode(std::string_view bytes, CsvFormat& format, std::string& converted) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const bool bigEndian = bytes[0] == '\xFE';
    format.encoding = bigEndian ? CsvEncoding::Utf16BE : CsvEncoding::Utf16LE;
    converted = FromUtf16(bytes.substr(2), bigEndian);
    return converted;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    format.encoding = CsvEncoding::Utf8WithMark;
    bytes.remove_prefix(3);
  }
  const std::size_t firstLine = LineEnds(bytes).After(0);
  if (const std::size_t nul = bytes.substr(0, std::max<std::size_t>(firstLine, 2)).find('\0');
      nul != std::string_view::npos)
    throw PartsError("NUL byte at byte " + std::to_string(nul) +
                     " of the first line: the input looks like UTF-16 without a byte-order "
                     "mark; save it as UTF-8, or as UTF-16 with a byte-order mark");
  return bytes;
}

// The separator of `,` `;` TAB that occurs most often outside quotes in the
// header line; `,` on a tie or when none does.
char DetectSeparator(std::string_view text) {
  std::array<std::size_t, 3> counts{};
  constexpr std::array<char, 3> kCandidates = {',', ';', '\t'};
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    for (std::size_t k = 0; k < kCandidates.size(); ++k) counts[k] += c == kCandidates[k];
  }
  std::size_t best = 0;
  for (std::size_t k = 1; k < counts.size(); ++k)
    if (counts[k] > counts[best]) best = k;
  return kCandidates[best];
}

// The fields of one record that starts at `at` and its end, split at
// `separator` outside quotes, quotes removed ("" is a quote): enough to
// tell a header from a title line before the file is read.
std::vector<std::string> RecordFields(std::string_view text, std::size_t at, char separator,
                                      std::size_t& end) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (end = at; end < text.size(); ++end) {
    const char c = text[end];
    if (c == '"') {
      if (quoted && end + 1 < text.size() && text[end + 1] == '"') {
        fields.back() += '"';
        ++end;
      } else {
        quoted = !quoted;
      }
    } else if (!quoted && c == separator) {
      fields.emplace_back();
    } else if (!quoted && (c == '\r' || c == '\n')) {
      end += c == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
      return fields;
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// A first line "sep=;" (spreadsheet programs write it so that they reopen
// their own CSV with that separator): the separator, and where the next
// line starts. The line is no record: it is kept above the header as it
// came, and rows are counted after it, as the spreadsheet shows them.
std::optional<char> SeparatorLine(std::string_view text, std::size_t& next) {
  if (text.size() < 5 || !text.starts_with("sep=")) return std::nullopt;
  const char separator = text[4];
  if (separator == '"' || separator == '\r' || separator == '\n') return std::nullopt;
  next = 5;
  if (next < text.size() && text[next] == '\r') ++next;
  if (next < text.size() && text[next] == '\n') ++next;
  if (next != text.size() && next == 5) return std::nullopt;  // more on the line
  return separator;
}

// The lines from `at` on as the rows below the parts: kept as written, and
// the records among them that hold a field counted.
void SetBelow(CsvTable& table, std::string_view text, std::size_t at, std::size_t line,
              bool named) {
  table.below = text.substr(at);
  table.below_line = line;
  table.below_named = named;
  for (std::size_t k = at; k < text.size();) {
    std::size_t end = k;
    const std::vector<std::string> fields = RecordFields(text, k, table.format.separator, end);
    if (std::any_of(fields.begin(), fields.end(), [](const std::string& f) { return !f.empty(); }))
      ++table.below_rows;
    k = std::max(end, k + 1);
  }
}

// Where the header starts (a byte offset into `text`) and its line, as
// `choice` says; the separator, when it is not given, detected on it (or
// named by a first line "sep=;").
struct HeaderPlace {
  std::size_t offset = 0, line = 1;
  char separator = ',';
};
HeaderPlace FindHeader(std::string_view text, std::optional<char> separator,
                       const CsvHeaderChoice& choice) {
  std::size_t at = 0, line = 1;
  if (const std::optional<char> named = SeparatorLine(text, at)) {
    separator = separator.value_or(*named);
    line = 2;
  }
  HeaderPlace first{at, line, separator.value_or(DetectSeparator(text.substr(at)))};
  if (!choice.record && !choice.names) return first;
  const std::uint64_t records = choice.record.value_or(kMaxTitleRows + 1);
  for (std::uint64_t record = 1; record <= records && at < text.size(); ++record) {
    const char chosen = separator.value_or(DetectSeparator(text.substr(at)));
    std::size_t end = at;
    const std::vector<std::string> fields = RecordFields(text, at, chosen, end);
    if (record == choice.record || (!choice.record && choice.names(fields)))
      return {at, line, chosen};
    line +=
        static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at),
                                            text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
    // A line ended by a lone CR counts as a line too.
    for (std::size_t k = at; k < end; ++k)
      if (text[k] == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n')) ++line;
    at = end;
  }
  if (choice.record)
    throw PartsError((choice.option.empty() ? "" : choice.option + ": ") + "the header row " +
                     std::to_string(*choice.record) + " is not in the file; it has fewer records");
  return first;
}

}  // namespace

CsvTable ReadCsv(std::string bytes, std::optional<char> separator, const CsvHeaderChoice& header) {
  return parts_detail::ReadCsvWith(std::move(bytes), separator, header,
                                   parts_detail::PlainLines::SplitHere);
}

CsvTable parts_detail::ReadCsvWith(std::string bytes, std::optional<char> separator,
                                   const CsvHeaderChoice& header, PlainLines plainLines) {
  CsvTable table;
  std::string converted;
  const std::string_view decoded = Decode(bytes, table.format, converted);
  // The text the fields view: the file's own bytes when they are UTF-8
  // (after a byte-order mark), else their conversion.
  const bool utf16 = table.format.encoding == CsvEncoding::Utf16LE ||
                     table.format.encoding == CsvEncoding::Utf16BE;
  const std::size_t skipped = utf16 ? 0 : static_cast<std::size_t>(decoded.data() - bytes.data());
  table.text = std::make_unique<const std::string>(utf16 ? std::move(converted) : std::move(bytes));
  const std::string_view text = std::string_view(*table.text).substr(skipped);
  const HeaderPlace place = FindHeader(text, separator, header);
  table.format.separator = place.separator;
  table.title = text.substr(0, place.offset);
  // Room for the fields that libcsv reads, should there be any.
  if (plainLines == PlainLines::ThroughLibcsv || text.find('"') != std::string_view::npos)
    table.unquoted.reserve(text.size());
  Collector collector{table};
  collector.headerLine = place.line;
  collector.expectedRows = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  // Valid text (the usual case) is checked once here; otherwise each row is
  // checked as it ends, so the message names the row of the first fault.
  try {
    CheckUtf8(text);
    collector.checkUtf8 = false;
  } catch (const EncodingError&) {
  }
  Callbacks callbacks{&collector, nullptr};
  csv_parser parser;
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw std::bad_alloc();
  const std::unique_ptr<csv_parser, ParserFree> owner(&parser);
  csv_set_space_func(&parser, NoBlanks);
  csv_set_delim(&parser, static_cast<unsigned char>(table.format.separator));
  std::size_t quoteLine = 0;  // where the quoted field being read opened
  // Records are counted from the line after a "sep=" line, as the header's is.
  std::size_t firstRecord = 0;
  SeparatorLine(text, firstRecord);
  std::uint64_t record = 0;
  LineEnds lineEnds(text);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = lineEnds.After(at);
    ++collector.line;
    const bool startsRecord = at >= firstRecord && !InQuotedField(parser);
    if (startsRecord) ++record;
    if (collector.line == place.line && header.last && *header.last < record)
      throw PartsError((header.last_option.empty() ? "" : header.last_option + ": ") +
                       "the last row " + std::to_string(*header.last) +
                       " is above the header row " + std::to_string(record));
    // The parts end: after the last row named, else at the first empty row
    // after a part. What follows is kept as written.
    if (startsRecord && collector.line > place.line) {
      const auto empty = [&] {
        for (std::size_t k = at; k < end; ++k)
          if (text[k] != '\r' && text[k] != '\n' && text[k] != table.format.separator) return false;
        return true;
      };
      if (header.last ? record > *header.last : !table.lines.empty() && empty()) {
        SetBelow(table, text, at, collector.line, header.last.has_value());
        break;
      }
    }
    if (collector.line == place.line) {
      const std::string_view line = text.substr(at, end - at);
      const std::size_t content = line.find_first_of("\r\n");
      table.format.lineEnd =
          content == std::string_view::npos ? "\n" : std::string(line.substr(content));
    }
    const bool wasQuoted = InQuotedField(parser);
    if (plainLines == PlainLines::SplitHere && !wasQuoted &&
        std::memchr(text.data() + at, '"', end - at) == nullptr) {
      std::size_t content = end;
      if (content > at && text[content - 1] == '\n') --content;
      if (content > at && text[content - 1] == '\r') --content;
      collector.PlainLine(text.substr(at, content - at), table.format.separator);
      at = end;
      continue;
    }
    if (csv_parse(&parser, text.data() + at, end - at, OnField, OnRow, &callbacks) != end - at)
      ParserFailed(parser, collector.line);
    if (callbacks.failure) std::rethrow_exception(callbacks.failure);
    if (InQuotedField(parser) && !wasQuoted) quoteLine = collector.line;
    at = end;
  }
  if (InQuotedField(parser))
    throw PartsError("malformed CSV: the quote opened in line " + std::to_string(quoteLine) +
                     " is never closed");
  if (csv_fini(&parser, OnField, OnRow, &callbacks) != 0) ParserFailed(parser, collector.line);
  if (callbacks.failure) std::rethrow_exception(callbacks.failure);
  if (!collector.haveHeader) throw PartsError("the CSV input is empty: no header line");
  return table;
}

void AppendCsvRow(std::string& text, std::span<const std::string> fields, const CsvFormat& format) {
  const char special[] = {format.separator, '"', '\r', '\n', '\0'};
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k > 0) text.push_back(format.separator);
    const std::string& field = fields[k];
    if (field.find_first_of(special) == std::string::npos) {
      text += field;
      continue;
    }
    const std::size_t start = text.size();
    text.resize(start + csv_write(nullptr, 0, field.data(), field.size()));
    csv_write(text.data() + start, text.size() - start, field.data(), field.size());
  }
  text += format.lineEnd;
}

std::string Encoded(std::string_view text, const CsvFormat& format) {
  switch (format.encoding) {
    case CsvEncoding::Utf8:
      return std::string(text);
    case CsvEncoding::Utf8WithMark:
      return "\xEF\xBB\xBF" + std::string(text);
    case CsvEncoding::Utf16LE:
    case CsvEncoding::Utf16BE:
      break;
  }
  const bool bigEndian = format.encoding == CsvEncoding::Utf16BE;
  const std::u16string units = u"\uFEFF" + Utf8ToUtf16(text);
  std::string bytes(units.size() * 2, '\0');
  for (std::size_t k = 0; k < units.size(); ++k) {
    bytes[2 * k + (bigEndian ? 0 : 1)] = static_cast<char>(units[k] >> 8);
    bytes[2 * k + (bigEndian ? 1 : 0)] = static_cast<char>(units[k] & 0xFF);
  }
  return bytes;
}

}  // namespace ztxgrp
