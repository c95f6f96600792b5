#include "placement.hpp"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <utility>

#include "../list_file.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::parts_detail {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

std::optional<std::size_t> FirstNamed(std::span<const std::string> header,
                                      std::initializer_list<std::string_view> keys) {
  for (const std::string_view key : keys)
    for (std::size_t k = 0; k < header.size(); ++k)
      if (column_name_key(header[k]) == key) return k;
  return std::nullopt;
}

namespace {

struct Line {
  std::string_view text;
  std::size_t number;
};

// The text's lines, numbered from 1, without their line ends. The text is
// UTF-8 (a byte-order mark dropped) with no NUL byte and no line longer
// than kMaxPlacementLine; else none.
std::optional<std::vector<Line>> TextLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  try {
    CheckUtf8(text);
  } catch (const EncodingError&) {
    return std::nullopt;
  }
  std::vector<Line> lines;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > kMaxPlacementLine) return std::nullopt;
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back({line, ++number});
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// Blank-separated fields; a field in double quotes may hold blanks ("" is
// a quote inside one).
std::vector<std::string> QuotedFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (true) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at >= line.size()) return fields;
    std::string field;
    if (line[at] == '"') {
      for (++at; at < line.size(); ++at) {
        if (line[at] == '"') {
          if (at + 1 < line.size() && line[at + 1] == '"') {
            field += '"';
            ++at;
            continue;
          }
          ++at;
          break;
        }
        field += line[at];
      }
    } else {
      while (at < line.size() && line[at] != ' ' && line[at] != '\t') field += line[at++];
    }
    fields.push_back(std::move(field));
  }
}

bool IsNumber(std::string_view text) {
  if (text.starts_with('-') || text.starts_with('+')) text.remove_prefix(1);
  bool digit = false, point = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

// KiCad's text .pos: "### ..." and "## ..." lines, a "# Ref Val Package
// PosX PosY Rot Side" header, then one footprint per line in columns that
// the header's labels begin. Ref, Val and Package are cut where the header
// puts them (a value may be empty); PosX, PosY, Rot and Side are the last
// four fields.
std::optional<Placement> ReadKicadPos(const std::vector<Line>& lines) {
  std::size_t valAt = 0, packageAt = 0;
  bool header = false, marked = false;
  Placement placement;
  placement.rows.reserve(lines.size());
  placement.format = PlacementFormat::KicadPos;
  placement.value_name = "Val";
  placement.footprint_name = "Package";
  for (const Line& line : lines) {
    const std::string_view text = line.text;
    if (text.starts_with("##")) {
      marked = true;
      continue;
    }
    if (text.starts_with('#')) {
      const std::size_t ref = text.find("Ref"), val = text.find(" Val"),
                        package = text.find(" Package");
      if (ref == std::string_view::npos || val == std::string_view::npos ||
          package == std::string_view::npos || !(ref < val && val < package))
        continue;
      valAt = val + 1;
      packageAt = package + 1;
      header = true;
      continue;
    }
    if (Trimmed(text).empty()) continue;
    if (!header) return std::nullopt;
    // The last four fields, from the right.
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t end = text.size();
    std::array<std::string_view, 4> last{};
    for (std::size_t k = 4; k-- > 0;) {
      while (end > 0 && blank(text[end - 1])) --end;
      std::size_t start = end;
      while (start > 0 && !blank(text[start - 1])) --start;
      if (start == 0 || start == end || start <= packageAt) return std::nullopt;
      last[k] = text.substr(start, end - start);
      end = start - 1;
    }
    const std::string_view left = text.substr(0, end);
    if (!IsNumber(last[0]) || !IsNumber(last[1]) || !IsNumber(last[2])) return std::nullopt;
    if (left.size() < packageAt) return std::nullopt;
    Placed placed;
    placed.designator = Trimmed(left.substr(0, valAt));
    placed.value = Trimmed(left.substr(valAt, packageAt - valAt));
    placed.footprint = Trimmed(left.substr(packageAt));
    placed.line = line.number;
    if (placed.designator.empty()) return std::nullopt;
    placement.rows.push_back(std::move(placed));
  }
  if (!header && !marked) return std::nullopt;
  return placement;
}

// Eagle's mountsmd output: "NAME X Y ROTATION VALUE PACKAGE" a line, blanks
// between (numbers padded with blanks), no header; an empty value leaves two
// blanks before the package.
std::optional<Placement> ReadEagle(const std::vector<Line>& lines) {
  Placement placement;
  placement.format = PlacementFormat::Eagle;
  placement.value_name = "VALUE";
  placement.footprint_name = "PACKAGE";
  for (const Line& line : lines) {
    std::string_view rest = line.text;
    if (Trimmed(rest).empty()) continue;
    std::array<std::string_view, 4> first{};
    for (std::string_view& field : first) {
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
      const std::size_t blank = rest.find(' ');
      if (blank == std::string_view::npos) return std::nullopt;
      field = rest.substr(0, blank);
      rest.remove_prefix(blank + 1);
    }
    if (!IsNumber(first[1]) || !IsNumber(first[2]) || !IsNumber(first[3])) return std::nullopt;
    while (rest.ends_with(' ') || rest.ends_with('\t')) rest.remove_suffix(1);
    const std::size_t blank = rest.rfind(' ');
    if (blank == std::string_view::npos || rest.substr(blank + 1).empty()) return std::nullopt;
    Placed placed;
    placed.designator = first[0];
    placed.value = Trimmed(rest.substr(0, blank));
    placed.footprint = rest.substr(blank + 1);
    placed.line = line.number;
    placement.rows.push_back(std::move(placed));
  }
  return placement;
}

// The columns of a placement table's header, by the names programs give them.
struct PlacementColumns {
  std::size_t refs = 0;
  std::optional<std::size_t> value, footprint, populate, dnp;
};

std::optional<PlacementColumns> ColumnsOf(std::span<const std::string> header) {
  const auto refs = find_designator_column(header);
  if (!refs) return std::nullopt;
  PlacementColumns columns;
  columns.refs = *refs;
  columns.value = FirstNamed(header, {"value", "val", "comment"});
  columns.footprint = FirstNamed(header, {"footprint", "package"});
  columns.populate = FirstNamed(header, {"populate", "fitted", "place"});
  columns.dnp = FirstNamed(header, {"dnp", "dnf", "donotplace", "donotpopulate", "notfitted"});
  return columns;
}

Placement OfRows(std::span<const std::string> header, std::size_t rowCount,
                 const std::function<std::string_view(std::size_t, std::size_t)>& cell,
                 const std::function<std::size_t(std::size_t)>& lineOf,
                 const PlacementColumns& columns, PlacementFormat format) {
  Placement placement;
  placement.format = format;
  if (columns.value) placement.value_name = header[*columns.value];
  if (columns.footprint) placement.footprint_name = header[*columns.footprint];
  for (std::size_t r = 0; r < rowCount; ++r) {
    Placed placed;
    placed.designator = Trimmed(cell(r, columns.refs));
    if (placed.designator.empty()) continue;
    if (columns.value) placed.value = Trimmed(cell(r, *columns.value));
    if (columns.footprint) placed.footprint = Trimmed(cell(r, *columns.footprint));
    if (columns.populate && SaysNo(cell(r, *columns.populate))) placed.populate = false;
    if (columns.dnp && SaysYes(cell(r, *columns.dnp))) placed.populate = false;
    placed.line = lineOf(r);
    placement.rows.push_back(std::move(placed));
  }
  return placement;
}

// Altium's Pick Place report as text: a block of text above a header that
// names "Designator", then blank-separated fields, quoted where they hold
// blanks.
std::optional<Placement> ReadAltiumText(const std::vector<Line>& lines) {
  std::size_t at = 0;
  std::vector<std::string> header;
  for (; at < lines.size() && at <= kMaxTitleRows; ++at) {
    header = QuotedFields(lines[at].text);
    if (std::find(header.begin(), header.end(), "Designator") != header.end()) break;
  }
  if (at >= lines.size() || at > kMaxTitleRows) return std::nullopt;
  const auto columns = ColumnsOf(header);
  if (!columns) return std::nullopt;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::size_t> numbers;
  for (++at; at < lines.size(); ++at) {
    if (Trimmed(lines[at].text).empty()) continue;
    std::vector<std::string> fields = QuotedFields(lines[at].text);
    if (fields.size() > header.size()) return std::nullopt;
    fields.resize(header.size());
    rows.push_back(std::move(fields));
    numbers.push_back(lines[at].number);
  }
  Placement placement = OfRows(
      header, rows.size(),
      [&](std::size_t r, std::size_t c) -> std::string_view { return rows[r][c]; },
      [&](std::size_t r) { return numbers[r]; }, *columns, PlacementFormat::Altium);
  // The rows view the fields' strings, which stay where they are when the
  // list of rows moves.
  placement.fields = std::move(rows);
  return placement;
}

// A table read as a parts list is (CSV with its separator found, or a
// workbook), its header the first row that names a designator column.
std::optional<Placement> ReadTable(const std::string& bytes, const PartsOptions& options,
                                   std::optional<PlacementFormat> format) {
  PartsOptions reading;
  reading.style = options.style;
  reading.labels = options.labels;
  std::shared_ptr<const ListFile> file;
  try {
    file = std::make_shared<const ListFile>(bytes, reading);
  } catch (const PartsError&) {
    return std::nullopt;
  } catch (const EncodingError&) {
    return std::nullopt;
  }
  const PartsTableView view = file->View();
  const auto columns = ColumnsOf(view.header);
  if (!columns) return std::nullopt;
  if (!format) {
    // Told apart by their headers: KiCad's Ref/Val/Package/PosX, XYRS's
    // X-Loc, an Altium report's title block above its header.
    const auto has = [&](std::string_view key) {
      return std::any_of(view.header.begin(), view.header.end(),
                         [&](const std::string& name) { return column_name_key(name) == key; });
    };
    if (has("ref") && has("val") && has("package") && has("posx")) {
      format = PlacementFormat::KicadCsv;
    } else if (has("x-loc") || has("xloc")) {
      format = PlacementFormat::Xyrs;
    } else if (!view.row_numbers.empty() && view.row_numbers.front() > 2 && has("designator")) {
      format = PlacementFormat::Altium;
    } else {
      format = PlacementFormat::Cpl;
    }
  }
  const std::size_t width = view.header.size();
  Placement placement = OfRows(
      view.header, width == 0 ? 0 : view.cells.size() / width,
      [&](std::size_t r, std::size_t c) { return view.cells[r * width + c]; },
      [&](std::size_t r) { return view.row_numbers.empty() ? r + 2 : view.row_numbers[r]; },
      *columns, *format);
  placement.noun = std::string(view.row_noun);
  placement.table = std::move(file);
  return placement;
}

[[noreturn]] void Unread(std::string_view name, std::string_view tried) {
  throw PartsError(Quoted(name) + " is no placement file that ztxgrp reads (tried " +
                   std::string(tried) + ")");
}

}  // namespace

bool SaysYes(std::string_view cell) {
  const std::string value = Lowered(Trimmed(cell));
  return !value.empty() && value != "0" && value != "no" && value != "n" && value != "false" &&
         value != "-";
}

bool SaysNo(std::string_view cell) {
  const std::string value = Lowered(Trimmed(cell));
  return value == "0" || value == "no" || value == "n" || value == "false" || value == "dnp" ||
         value == "dnf";
}

Placement PlacementOfTable(const PartsTableView& table, std::string_view name,
                           PlacementFormat format) {
  const auto columns = ColumnsOf(table.header);
  if (!columns)
    throw PartsError(Quoted(name) +
                     ": no designator column (Reference, Designator, RefDes, ...) in its header");
  const std::size_t width = table.header.size();
  if (width == 0 || table.cells.size() % width != 0)
    throw PartsError(Quoted(name) + ": the cells do not fill whole rows");
  Placement placement = OfRows(
      table.header, table.cells.size() / width,
      [&](std::size_t r, std::size_t c) { return table.cells[r * width + c]; },
      [&](std::size_t r) { return table.row_numbers.empty() ? r + 1 : table.row_numbers[r]; },
      *columns, format);
  placement.noun = std::string(table.row_noun);
  return placement;
}

Placement ReadPlacement(const std::string& bytes, std::string_view name,
                        std::optional<PlacementFormat> format, const PartsOptions& options) {
  std::optional<Placement> placement;
  std::string tried;
  const auto attempt = [&](PlacementFormat form, auto&& read) {
    if (placement || (format && *format != form)) return;
    if (!tried.empty()) tried += ", ";
    tried += placement_format_name(form);
    placement = read();
  };
  const bool book = is_workbook(bytes);
  const std::optional<std::vector<Line>> lines =
      book ? std::nullopt : TextLines(std::string_view(bytes));
  if (!book && !lines)
    throw PartsError(Quoted(name) +
                     " is no placement file that ztxgrp reads: it is neither text nor a workbook "
                     "(binary data, or a line longer than 65,536 bytes)");
  if (lines) attempt(PlacementFormat::KicadPos, [&] { return ReadKicadPos(*lines); });
  // The table forms (CSV or workbook) are told apart by their headers.
  const bool tableForm =
      format && *format != PlacementFormat::KicadPos && *format != PlacementFormat::Eagle;
  if (!placement && (!format || tableForm)) {
    tried += tried.empty() ? "" : ", ";
    tried += format ? placement_format_name(*format) : "kicad-csv, cpl, xyrs, altium";
    placement = ReadTable(bytes, options, format);
  }
  if (lines && !placement && (!format || *format == PlacementFormat::Altium))
    placement = ReadAltiumText(*lines);
  if (lines) attempt(PlacementFormat::Eagle, [&] { return ReadEagle(*lines); });
  if (!placement) Unread(name, tried);
  if (placement->rows.empty()) throw PartsError(Quoted(name) + " places no designator");
  return std::move(*placement);
}

}  // namespace ztxgrp::parts_detail
