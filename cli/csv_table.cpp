#include "csv_table.hpp"

#include <csv.h>

#include <algorithm>
#include <memory>
#include <new>

#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

// Collects rows while libcsv parses, one input line at a time so that every
// row knows the line it started on.
struct Collector {
  CsvTable& table;
  std::vector<std::string> fields;
  bool haveHeader = false;
  std::size_t line = 0;     // the line being fed
  std::size_t rowLine = 1;  // where the current row started

  void Field(const char* data, std::size_t size) {
    if (fields.empty()) rowLine = std::max(rowLine, line);
    fields.emplace_back(data, size);
  }

  void EndRow() {
    const std::size_t startLine = rowLine;
    rowLine = line + 1;
    std::vector<std::string> row = std::move(fields);
    fields.clear();
    if (std::all_of(row.begin(), row.end(), [](const std::string& f) { return f.empty(); })) return;
    for (const std::string& field : row) {
      try {
        (void)Utf8ToUtf16(field);
      } catch (const EncodingError& failure) {
        throw InputError("line " + std::to_string(startLine) + ": " + failure.what());
      }
    }
    if (!haveHeader) {
      table.header = std::move(row);
      haveHeader = true;
      return;
    }
    const std::size_t width = table.header.size();
    if (row.size() > width) {
      if (!std::all_of(row.begin() + static_cast<std::ptrdiff_t>(width), row.end(),
                       [](const std::string& f) { return f.empty(); }))
        throw InputError("line " + std::to_string(startLine) + " has " +
                         std::to_string(row.size()) + " fields; the header has " +
                         std::to_string(width));
      row.resize(width);
    }
    row.resize(width);
    table.rows.push_back({std::move(row), startLine});
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

[[noreturn]] void ParserFailed(csv_parser& parser, std::size_t line) {
  const int error = csv_error(&parser);
  if (error == CSV_ENOMEM || error == CSV_ETOOBIG) throw std::bad_alloc();
  throw InputError("malformed CSV in line " + std::to_string(line) + ": " + csv_strerror(error));
}

}  // namespace

CsvTable ReadCsv(InputBuffer& in) {
  CsvTable table;
  Collector collector{table, {}, false, 0, 1};
  Callbacks callbacks{&collector, nullptr};
  csv_parser parser;
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw std::bad_alloc();
  const std::unique_ptr<csv_parser, ParserFree> owner(&parser);
  csv_set_space_func(&parser, NoBlanks);
  std::string line;
  while (in.ReadLine(line, true)) {
    ++collector.line;
    if (collector.line == 1) {
      table.byteOrderMark = in.hadByteOrderMark();
      table.crlf = line.ends_with("\r\n");
    }
    if (csv_parse(&parser, line.data(), line.size(), OnField, OnRow, &callbacks) != line.size())
      ParserFailed(parser, collector.line);
    if (callbacks.failure) std::rethrow_exception(callbacks.failure);
  }
  if (csv_fini(&parser, OnField, OnRow, &callbacks) != 0) ParserFailed(parser, collector.line);
  if (callbacks.failure) std::rethrow_exception(callbacks.failure);
  if (!collector.haveHeader) throw InputError("the CSV input is empty: no header line");
  return table;
}

void AppendCsvRow(std::string& text, const std::vector<std::string>& fields, bool crlf) {
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k > 0) text.push_back(',');
    const std::string& field = fields[k];
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
      text += field;
      continue;
    }
    const std::size_t start = text.size();
    text.resize(start + csv_write(nullptr, 0, field.data(), field.size()));
    csv_write(text.data() + start, text.size() - start, field.data(), field.size());
  }
  text += crlf ? "\r\n" : "\n";
}

}  // namespace ztxgrp::cli
