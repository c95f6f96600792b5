#include "bom.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "csv_table.hpp"
#include "designators.hpp"
#include "errors.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

constexpr std::string_view kDesignatorHeaders[] = {"reference",  "references",  "ref",   "refs",
                                                   "designator", "designators", "refdes"};
constexpr std::string_view kQuantityHeaders[] = {"qty", "quantity"};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::string HeaderList(const std::vector<std::string>& header) {
  std::string list;
  for (const std::string& name : header) list += (list.empty() ? "\"" : ", \"") + name + "\"";
  return list;
}

// A column by name: exactly as written, else ignoring ASCII case.
std::optional<std::size_t> FindColumn(const std::vector<std::string>& header,
                                      std::string_view name) {
  for (std::size_t k = 0; k < header.size(); ++k)
    if (header[k] == name) return k;
  for (std::size_t k = 0; k < header.size(); ++k)
    if (Lower(header[k]) == Lower(name)) return k;
  return std::nullopt;
}

std::size_t RequireColumn(const std::vector<std::string>& header, const std::string& name) {
  if (const auto column = FindColumn(header, name)) return *column;
  throw InputError("no column named \"" + name + "\"; the headers are " + HeaderList(header));
}

template <std::size_t N>
std::optional<std::size_t> FirstOf(const std::vector<std::string>& header,
                                   const std::string_view (&names)[N]) {
  for (std::size_t k = 0; k < header.size(); ++k)
    if (std::find(names, names + N, Lower(header[k])) != names + N) return k;
  return std::nullopt;
}

// Which columns play which part, and the header that is written.
struct Layout {
  std::size_t refs = 0;
  std::optional<std::size_t> qty;  // in the input
  std::vector<std::size_t> keys;
  std::vector<std::string> header;  // output
  std::size_t outputQty = 0;        // in the output
};

Layout Plan(const CsvTable& table, const BomOptions& options) {
  Layout layout;
  if (options.refs) {
    layout.refs = RequireColumn(table.header, *options.refs);
  } else if (const auto refs = FirstOf(table.header, kDesignatorHeaders)) {
    layout.refs = *refs;
  } else {
    throw InputError(
        "no designator column (Reference, Designator, RefDes, ...) among the headers " +
        HeaderList(table.header) + "; name it with --refs");
  }
  layout.qty = options.qty ? FindColumn(table.header, *options.qty)
                           : FirstOf(table.header, kQuantityHeaders);
  if (options.by.empty()) {
    for (std::size_t k = 0; k < table.header.size(); ++k)
      if (k != layout.refs && k != layout.qty) layout.keys.push_back(k);
  } else {
    for (const std::string& name : options.by)
      layout.keys.push_back(RequireColumn(table.header, name));
  }
  layout.header = table.header;
  if (layout.qty) {
    layout.outputQty = *layout.qty;
  } else if (!options.expand) {
    layout.outputQty = layout.refs + 1;
    layout.header.insert(layout.header.begin() + static_cast<std::ptrdiff_t>(layout.outputQty),
                         options.qty.value_or("Qty"));
  }
  return layout;
}

Designators ReadRow(const CsvRow& row, std::size_t refs) {
  Designators designators;
  try {
    ReadCell(row.fields[refs], designators);
  } catch (const RuntimeError& error) {
    throw RowError(error, row.line);
  }
  return designators;
}

// The row as written: the designator cell replaced and the quantity set
// (inserted when the column is new).
// The row as written: the designator cell replaced (the old one is not
// copied) and the quantity set, inserted when the column is new.
std::vector<std::string> OutputRow(const CsvRow& row, const Layout& layout, std::string refs,
                                   std::string qty, bool qtyAdded) {
  std::vector<std::string> fields;
  fields.reserve(row.fields.size() + 1);
  for (std::size_t k = 0; k < row.fields.size(); ++k)
    fields.push_back(k == layout.refs ? std::move(refs) : row.fields[k]);
  if (qtyAdded)
    fields.insert(fields.begin() + static_cast<std::ptrdiff_t>(layout.outputQty), std::move(qty));
  else if (layout.qty)
    fields[layout.outputQty] = std::move(qty);
  return fields;
}

std::string Joined(const std::vector<std::u16string>& entries, const std::string& separator) {
  std::string text;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (k > 0) text += separator;
    text += Utf16ToUtf8(entries[k]);
  }
  return text;
}

// Designators that occur more than once, with the lines of their rows, as
// warnings; true when there were any.
bool ReportDuplicates(const std::vector<std::pair<std::u16string, std::size_t>>& occurrences) {
  std::map<std::u16string, std::vector<std::size_t>> lines;
  for (const auto& [text, line] : occurrences) lines[text].push_back(line);
  bool any = false;
  for (const auto& [text, where] : lines) {
    if (where.size() < 2) continue;
    any = true;
    std::string message = "ztxgrp: warning: designator " + Utf16ToUtf8(text) + " occurs " +
                          std::to_string(where.size()) + " times, in the rows of lines";
    for (std::size_t k = 0; k < where.size(); ++k)
      message += (k == 0 ? " " : ", ") + std::to_string(where[k]);
    std::fputs((message + "\n").c_str(), stderr);
  }
  return any;
}

// The output's rows as CSV text, complete before anything is written.
struct Output {
  std::string text;
  bool crlf = false;
  void Add(const std::vector<std::string>& fields) { AppendCsvRow(text, fields, crlf); }
};

void Collapse(const CsvTable& table, const Layout& layout, const Options& options,
              std::vector<std::pair<std::u16string, std::size_t>>& occurrences, Output& output) {
  struct Part {
    const CsvRow* first;
    Designators designators;
  };
  std::vector<Part> parts;
  std::unordered_map<std::string, std::size_t> partOf;
  for (const CsvRow& row : table.rows) {
    std::string key;  // the key cells, each preceded by its length: no two keys collide
    for (std::size_t column : layout.keys)
      key += std::to_string(row.fields[column].size()) + ':' + row.fields[column];
    const auto [found, added] = partOf.try_emplace(std::move(key), parts.size());
    if (added) parts.push_back({&row, {}});
    Designators read = ReadRow(row, layout.refs);
    for (const auto& item : read.items) occurrences.emplace_back(item, row.line);
    for (const auto& literal : read.literals) occurrences.emplace_back(literal, row.line);
    Designators& designators = parts[found->second].designators;
    std::move(read.items.begin(), read.items.end(), std::back_inserter(designators.items));
    std::move(read.literals.begin(), read.literals.end(), std::back_inserter(designators.literals));
  }
  struct Merged {
    std::optional<DesignatorKey> first;
    std::vector<std::string> fields;
  };
  std::vector<Merged> merged;
  merged.reserve(parts.size());
  for (const Part& part : parts) {
    std::vector<std::u16string> entries;
    try {
      entries = GroupDesignators(part.designators, options.minRun);
    } catch (const RuntimeError& error) {
      throw RowError(error, part.first->line);
    }
    Merged row;
    if (!entries.empty()) row.first = KeyOfEntry(entries.front());
    row.fields = OutputRow(*part.first, layout, Joined(entries, options.bom.join),
                           std::to_string(part.designators.size()), !layout.qty);
    merged.push_back(std::move(row));
  }
  // By first designator in the engine's order; parts without one last.
  std::stable_sort(merged.begin(), merged.end(), [](const Merged& a, const Merged& b) {
    if (!a.first || !b.first) return a.first.has_value() && !b.first.has_value();
    return *a.first < *b.first;
  });
  for (const Merged& row : merged) output.Add(row.fields);
}

void Expand(const CsvTable& table, const Layout& layout,
            std::vector<std::pair<std::u16string, std::size_t>>& occurrences, Output& output) {
  for (const CsvRow& row : table.rows) {
    const Designators designators = ReadRow(row, layout.refs);
    const std::vector<std::u16string> items = ExpandDesignators(designators);
    if (items.empty()) output.Add(row.fields);
    for (const std::u16string& item : items) {
      occurrences.emplace_back(item, row.line);
      output.Add(OutputRow(row, layout, Utf16ToUtf8(item), "1", false));
    }
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Reason() {
  return errno != 0 ? std::strerror(errno) : "unknown error";
}

// Writes through a temporary file beside `path`, renamed over it only once
// everything is written, so that a failure never leaves a half-written file.
void WriteFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".tmp-XXXXXX";
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) throw OutputError("cannot create a file beside " + path + ": " + Reason());
  struct Remover {
    const std::string* path;
    ~Remover() {
      if (path) std::remove(path->c_str());
    }
  } remover{&temporary};
  File file(fdopen(descriptor, "wb"));
  if (!file) {
    close(descriptor);
    throw OutputError("cannot write " + path + ": " + Reason());
  }
  OutputWriter out(file.get(), path);
  out.Write(text);
  out.Finish();
  if (std::fclose(file.release()) != 0) throw OutputError("cannot write " + path + ": " + Reason());
  if (std::rename(temporary.c_str(), path.c_str()) != 0)
    throw OutputError("cannot replace " + path + ": " + Reason());
  remover.path = nullptr;
}

}  // namespace

int RunBom(const Options& options, InputBuffer& standardInput, OutputWriter& out) {
  const BomOptions& bom = options.bom;
  try {
    (void)Utf8ToUtf16(bom.join);
  } catch (const EncodingError& error) {
    throw UsageError(std::string("--join: ") + error.what());
  }
  CsvTable table;
  if (bom.file.empty() || bom.file == "-") {
    table = ReadCsv(standardInput);
  } else {
    File file(std::fopen(bom.file.c_str(), "rb"));
    if (!file) throw InputError("cannot open " + bom.file + ": " + Reason());
    InputBuffer in(file.get(), false, bom.file);
    table = ReadCsv(in);
  }
  const Layout layout = Plan(table, bom);
  Output output{table.byteOrderMark ? "\xEF\xBB\xBF" : "", table.crlf};
  output.Add(layout.header);
  std::vector<std::pair<std::u16string, std::size_t>> occurrences;
  if (bom.expand)
    Expand(table, layout, occurrences, output);
  else
    Collapse(table, layout, options, occurrences, output);
  if (ReportDuplicates(occurrences) && bom.strict)
    throw InputError("duplicated designators (--strict); nothing was written");
  if (bom.output.empty())
    out.Write(output.text);
  else
    WriteFile(bom.output, output.text);
  return kSuccess;
}

}  // namespace ztxgrp::cli
