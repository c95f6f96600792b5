// Writing sheets as an OpenDocument spreadsheet: the XML of its parts
// written here, the archive made by minizip. The header is bold, frozen
// and filtered, as in a written .xlsx; numbers are numbers, every other
// cell text.
#include <map>
#include <set>

#include "sheet_writing.hpp"
#include "zip_writer.hpp"
#include "ztxgrp/parts_list.hpp"

namespace ztxgrp::workbook {
namespace {

constexpr std::string_view kMimetype = "application/vnd.oasis.opendocument.spreadsheet";
constexpr std::string_view kNamespaces =
    R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
    R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
    R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
    R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
    R"( xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0")"
    R"( xmlns:config="urn:oasis:names:tc:opendocument:xmlns:config:1.0")"
    R"( office:version="1.3")";

// A character XML 1.0 cannot hold, at `at`: controls other than tab and
// line ends, and U+FFFE and U+FFFF. Returns its length in bytes, or 0.
std::size_t UnwritableAt(std::string_view text, std::size_t at) {
  const auto c = static_cast<unsigned char>(text[at]);
  if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return 1;
  if (c == 0xEF && at + 2 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0xBF &&
      (static_cast<unsigned char>(text[at + 2]) == 0xBE ||
       static_cast<unsigned char>(text[at + 2]) == 0xBF))
    return 3;
  return 0;
}

class Xml {
 public:
  std::string out;

  void Raw(std::string_view text) { out.append(text); }

  // Text or an attribute's value, escaped; line ends and tabs in an
  // attribute as character references, so that they read back as written.
  void Escaped(std::string_view text, bool attribute, std::size_t row) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (UnwritableAt(text, i) != 0)
        throw PartsError(
            "a cell holds a control character, which an OpenDocument file cannot "
            "hold; write CSV or .xlsx instead",
            row, "row");
      const char c = text[i];
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += attribute ? "&quot;" : "\"";
          break;
        case '\n':
          out += attribute ? "&#10;" : "\n";
          break;
        case '\r':
          out += "&#13;";
          break;
        case '\t':
          out += attribute ? "&#9;" : "\t";
          break;
        default:
          out += c;
      }
    }
  }

  // A cell's text as paragraphs: one a line, runs of spaces and spaces at
  // either end as <text:s>, tabs as <text:tab/>, so that no white space is
  // folded away when read.
  void Paragraphs(std::string_view text, std::size_t row) {
    for (;;) {
      const std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (line.ends_with('\r')) line.remove_suffix(1);
      out += "<text:p>";
      for (std::size_t i = 0; i < line.size();) {
        if (line[i] == '\t') {
          out += "<text:tab/>";
          ++i;
          continue;
        }
        if (line[i] != ' ') {
          std::size_t j = i;
          while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
          Escaped(line.substr(i, j - i), false, row);
          i = j;
          continue;
        }
        std::size_t j = i;
        while (j < line.size() && line[j] == ' ') ++j;
        std::size_t count = j - i;
        if (i > 0 && j < line.size()) {
          out += ' ';  // one space between words is text as it is
          --count;
        }
        if (count == 1) out += "<text:s/>";
        if (count > 1) out += "<text:s text:c=\"" + std::to_string(count) + "\"/>";
        i = j;
      }
      out += "</text:p>";
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }
};

std::string FillStyle(std::uint32_t colour) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string name = "ceF";
  for (int shift = 20; shift >= 0; shift -= 4) name += kHex[(colour >> shift) & 0xF];
  return name;
}

// A sheet's place in a range address: 'Sheet 1'.A1, quotes doubled.
std::string Place(const std::string& sheet, std::size_t row, std::size_t column) {
  std::string place = "'";
  for (const char c : sheet) place += c == '\'' ? std::string("''") : std::string(1, c);
  place += "'.";
  std::string letters;
  for (std::size_t c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return place + letters + std::to_string(row + 1);
}

class SheetWriter {
 public:
  SheetWriter(Xml& xml, const WorkbookSheet& sheet, const std::string& name)
      : xml_(xml), sheet_(sheet), name_(name) {}

  void Write(std::size_t index, std::size_t columns) {
    xml_.Raw("<table:table table:name=\"");
    xml_.Escaped(name_, true, 0);
    xml_.Raw("\">");
    for (std::size_t c = 0; c < columns; ++c)
      xml_.Raw("<table:table-column table:style-name=\"co" + std::to_string(index) + "_" +
               std::to_string(c) + "\"/>");
    if (columns == 0) xml_.Raw("<table:table-column/>");

    std::size_t next = 0;  // the next row to write, 0-based
    Kept(sheet_.title, 0, next);
    const std::size_t headerAt = sheet_.header_row - 1;
    EmptyRowsTo(next, headerAt);
    StartRow(headerAt);
    for (std::size_t c = 0; c < sheet_.header.size(); ++c)
      Cell(headerAt, c, sheet_.header[c], std::nullopt, "ceH");
    EndRow();
    for (std::size_t r = 0; r < sheet_.rows.size(); ++r) {
      const std::size_t at = headerAt + 1 + r;
      const std::uint32_t fill = r < sheet_.fills.size() ? sheet_.fills[r] : 0;
      const std::string style = fill != 0 ? FillStyle(fill) : std::string();
      const std::vector<std::string>& row = sheet_.rows[r];
      StartRow(at);
      const std::size_t width = fill != 0 ? std::max(row.size(), sheet_.header.size()) : row.size();
      for (std::size_t c = 0; c < width; ++c) {
        const std::string_view text = c < row.size() ? std::string_view(row[c]) : "";
        Cell(at, c, text,
             sheet_.number && c < row.size() ? sheet_.number(r, c, row[c]) : std::nullopt, style,
             sheet_.kind && c < row.size() ? sheet_.kind(r, c, row[c]) : CellKind::Text);
      }
      EndRow();
    }
    next = headerAt + 1 + sheet_.rows.size();
    Kept(sheet_.below, next, next);
    xml_.Raw("</table:table>");
  }

 private:
  // Rows kept as they came (above the header, below the table): row n at
  // `first` + n - 1; `next` the row after the last written.
  void Kept(const std::vector<WorkbookTitleRow>& rows, std::size_t first, std::size_t& next) {
    for (const WorkbookTitleRow& kept : rows) {
      const std::size_t at = first + kept.row - 1;
      EmptyRowsTo(next, at);
      StartRow(at);
      for (std::size_t c = 0; c < kept.cells.size(); ++c)
        Cell(at, c, kept.cells[c].text,
             kept.cells[c].number.empty() ? std::nullopt
                                          : std::optional<std::string>(kept.cells[c].number),
             {}, kept.cells[c].kind);
      EndRow();
      next = at + 1;
    }
  }
  void EmptyRowsTo(std::size_t& next, std::size_t to) {
    if (to <= next) return;
    xml_.Raw("<table:table-row table:number-rows-repeated=\"" + std::to_string(to - next) +
             "\"><table:table-cell/></table:table-row>");
    next = to;
  }
  void StartRow(std::size_t row) {
    CheckSheetPlace(row, 0);
    xml_.Raw("<table:table-row>");
    cellsInRow_ = 0;
    emptyRun_ = 0;
  }
  void EndRow() {
    if (cellsInRow_ == 0) xml_.Raw("<table:table-cell/>");
    xml_.Raw("</table:table-row>");
  }
  void FlushEmpty() {
    if (emptyRun_ == 0) return;
    xml_.Raw(emptyRun_ == 1 ? "<table:table-cell/>"
                            : "<table:table-cell table:number-columns-repeated=\"" +
                                  std::to_string(emptyRun_) + "\"/>");
    ++cellsInRow_;
    emptyRun_ = 0;
  }
  void Cell(std::size_t row, std::size_t column, std::string_view text,
            const std::optional<std::string>& number, const std::string& style,
            CellKind kind = CellKind::Text) {
    CheckSheetPlace(row, column);
    if (text.empty() && !number && style.empty()) {
      ++emptyRun_;  // written only when a cell follows it
      return;
    }
    FlushEmpty();
    ++cellsInRow_;
    xml_.Raw("<table:table-cell");
    if (!style.empty()) xml_.Raw(" table:style-name=\"" + style + "\"");
    const std::optional<DateParts> date = kind == CellKind::Date ? DatePartsOf(text) : std::nullopt;
    if (date && date->date) {
      // 2026-12-08, or 2026-12-08T10:30:00
      xml_.Raw(" office:value-type=\"date\" office:date-value=\"");
      xml_.Raw(text.substr(0, 10));
      if (date->time) {
        xml_.Raw("T");
        xml_.Raw(text.substr(11));
      }
      xml_.Raw("\">");
    } else if (date) {
      xml_.Raw(" office:value-type=\"time\" office:time-value=\"PT");
      xml_.Raw(text.substr(0, 2));
      xml_.Raw("H");
      xml_.Raw(text.substr(3, 2));
      xml_.Raw("M");
      xml_.Raw(text.substr(6, 2));
      xml_.Raw("S\">");
    } else if (kind == CellKind::Boolean && (text == "TRUE" || text == "FALSE")) {
      xml_.Raw(std::string(" office:value-type=\"boolean\" office:boolean-value=\"") +
               (text == "TRUE" ? "true" : "false") + "\">");
    } else if (number) {
      xml_.Raw(" office:value-type=\"float\" office:value=\"");
      xml_.Escaped(*number, true, row + 1);
      xml_.Raw("\">");
    } else if (text.empty()) {
      xml_.Raw("/>");
      return;
    } else {
      xml_.Raw(" office:value-type=\"string\"");
      if (text.find_first_of("\r\t") != std::string_view::npos) {
        // Paragraphs hold no carriage return, and LibreOffice reads no tab
        // from them: the text as it is goes in the cell's string value too,
        // which readers take before its paragraphs.
        xml_.Raw(" office:string-value=\"");
        xml_.Escaped(text, true, row + 1);
        xml_.Raw("\"");
      }
      xml_.Raw(">");
    }
    xml_.Paragraphs(text, row + 1);
    xml_.Raw("</table:table-cell>");
  }

  Xml& xml_;
  const WorkbookSheet& sheet_;
  const std::string& name_;
  std::size_t cellsInRow_ = 0, emptyRun_ = 0;
};

// Each column's width for the widest text written in it.
std::vector<double> ColumnWidths(const WorkbookSheet& sheet) {
  std::vector<double> widths(sheet.header.size(), 0);
  const auto widen = [&](std::size_t column, std::string_view text) {
    if (column < widths.size()) widths[column] = std::max(widths[column], WidthOf(text));
  };
  for (const WorkbookTitleRow& title : sheet.title)
    for (std::size_t c = 0; c < title.cells.size(); ++c) widen(c, title.cells[c].text);
  for (std::size_t c = 0; c < sheet.header.size(); ++c) widen(c, sheet.header[c]);
  for (const std::vector<std::string>& row : sheet.rows)
    for (std::size_t c = 0; c < row.size(); ++c) widen(c, row[c]);
  return widths;
}

std::string Manifest() {
  return R"(<?xml version="1.0" encoding="UTF-8"?>)"
         "\n"
         R"(<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.3">)"
         R"(<manifest:file-entry manifest:full-path="/" manifest:version="1.3" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>)"
         R"(<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>)"
         R"(<manifest:file-entry manifest:full-path="settings.xml" manifest:media-type="text/xml"/>)"
         R"(</manifest:manifest>)";
}

// The view settings that freeze each sheet's rows down to its header.
std::string Settings(std::span<const WorkbookSheet> sheets, const std::vector<std::string>& names) {
  Xml xml;
  xml.Raw(R"(<?xml version="1.0" encoding="UTF-8"?>)"
          "\n<office:document-settings");
  xml.Raw(kNamespaces);
  xml.Raw(
      R"(><office:settings><config:config-item-set config:name="ooo:view-settings">)"
      R"(<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>)"
      R"(<config:config-item config:name="ViewId" config:type="string">view1</config:config-item>)"
      R"(<config:config-item-map-named config:name="Tables">)");
  const auto item = [&](const char* name, const char* type, std::size_t value) {
    xml.Raw(std::string("<config:config-item config:name=\"") + name + "\" config:type=\"" + type +
            "\">" + std::to_string(value) + "</config:config-item>");
  };
  for (std::size_t s = 0; s < sheets.size(); ++s) {
    if (sheets[s].header.empty()) continue;
    xml.Raw("<config:config-item-map-entry config:name=\"");
    xml.Escaped(names[s], true, 0);
    xml.Raw("\">");
    const std::size_t frozen = sheets[s].header_row;
    item("HorizontalSplitMode", "short", 0);
    item("VerticalSplitMode", "short", 2);
    item("HorizontalSplitPosition", "int", 0);
    item("VerticalSplitPosition", "int", frozen);
    item("ActiveSplitRange", "short", 2);
    item("PositionLeft", "int", 0);
    item("PositionRight", "int", 0);
    item("PositionTop", "int", 0);
    item("PositionBottom", "int", frozen);
    xml.Raw("</config:config-item-map-entry>");
  }
  xml.Raw(
      "</config:config-item-map-named></config:config-item-map-entry>"
      "</config:config-item-map-indexed></config:config-item-set></office:settings>"
      "</office:document-settings>");
  return std::move(xml.out);
}

}  // namespace

std::string WriteOpenDocument(std::span<const WorkbookSheet> sheets) {
  // Names as spreadsheets take them, each once.
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const WorkbookSheet& sheet : sheets) {
    std::string name = SheetName(sheet.name);
    for (int k = 2; taken.contains(name); ++k)
      name = SheetName(sheet.name) + " (" + std::to_string(k) + ")";
    taken.insert(name);
    names.push_back(std::move(name));
  }

  Xml content;
  content.Raw(R"(<?xml version="1.0" encoding="UTF-8"?>)"
              "\n<office:document-content");
  content.Raw(kNamespaces);
  content.Raw("><office:automatic-styles>");
  for (std::size_t s = 0; s < sheets.size(); ++s) {
    const std::vector<double> widths = ColumnWidths(sheets[s]);
    for (std::size_t c = 0; c < widths.size(); ++c) {
      // A character of the default font is about 0.19 cm wide.
      const double centimetres = ColumnWidth(widths[c]) * 0.19 + 0.1;
      char width[32];
      std::snprintf(width, sizeof width, "%.3fcm", centimetres);
      content.Raw("<style:style style:name=\"co" + std::to_string(s) + "_" + std::to_string(c) +
                  "\" style:family=\"table-column\"><style:table-column-properties "
                  "style:column-width=\"" +
                  width + "\"/></style:style>");
    }
  }
  content.Raw(R"(<style:style style:name="ceH" style:family="table-cell">)"
              R"(<style:text-properties fo:font-weight="bold"/></style:style>)");
  std::set<std::uint32_t> fills;
  for (const WorkbookSheet& sheet : sheets)
    for (const std::uint32_t fill : sheet.fills)
      if (fill != 0) fills.insert(fill);
  for (const std::uint32_t fill : fills) {
    const std::string name = FillStyle(fill);
    content.Raw("<style:style style:name=\"" + name +
                "\" style:family=\"table-cell\"><style:table-cell-properties "
                "fo:background-color=\"#" +
                name.substr(3) + "\"/></style:style>");
  }
  content.Raw("</office:automatic-styles><office:body><office:spreadsheet>");
  for (std::size_t s = 0; s < sheets.size(); ++s)
    SheetWriter(content, sheets[s], names[s]).Write(s, sheets[s].header.size());
  // The header rows filtered, as database ranges of their own.
  content.Raw("<table:database-ranges>");
  for (std::size_t s = 0; s < sheets.size(); ++s) {
    const WorkbookSheet& sheet = sheets[s];
    if (sheet.header.empty()) continue;
    const std::size_t headerAt = sheet.header_row - 1;
    content.Raw("<table:database-range table:name=\"__Anonymous_Sheet_DB__" + std::to_string(s) +
                "\" table:target-range-address=\"");
    content.Escaped(Place(names[s], headerAt, 0) + ":" +
                        Place(names[s], headerAt + sheet.rows.size(), sheet.header.size() - 1),
                    true, 0);
    content.Raw("\" table:display-filter-buttons=\"true\"/>");
  }
  content.Raw("</table:database-ranges>");

  content.Raw("</office:spreadsheet></office:body></office:document-content>");

  ZipWriter zip;
  // The mimetype first and stored, so that the file's kind is read at a
  // fixed place; then the parts.
  zip.Add("mimetype", kMimetype, true);
  zip.Add("META-INF/manifest.xml", Manifest());
  zip.Add("content.xml", content.out);
  zip.Add("settings.xml", Settings(sheets, names));
  return zip.Finish();
}

}  // namespace ztxgrp::workbook
