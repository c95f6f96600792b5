// A comparison as one self-contained HTML page, for people to read and
// share: no script, font, image or style from anywhere else (a content
// security policy forbids any request and any script), every cell escaped.
// The tables hold exactly the cells of the CSV form; each kind of change
// has its colour, and its sign is drawn by the style sheet, outside the
// cells' text.
#include <string>
#include <string_view>

#include "ztxgrp/parts_diff.hpp"

namespace ztxgrp {
namespace {

// Text as HTML shows it: markup characters escaped, so that a cell holding
// "<script>" shows as text.
void AppendEscaped(std::string& html, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\'':
        html += "&#39;";
        break;
      default:
        html += c;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string html;
  AppendEscaped(html, text);
  return html;
}

// A kind's word as a class name: "quantity changed" is quantity-changed.
std::string ClassOf(std::string_view word) {
  std::string name(word);
  for (char& c : name)
    if (c == ' ') c = '-';
  return name;
}

// One table: its header, then a row per line, the first cell's word the
// row's class. In the table of changes, a new cell that differs from the
// old one beside it (on a changed or moved line) is marked.
void AppendTable(std::string& html, const char* name, const char* caption, const PartsTable& table,
                 bool pairs) {
  html += "<table class=\"" + std::string(name) + "\">\n<caption>" + caption +
          "</caption>\n<thead><tr>";
  for (const std::string& cell : table.header)
    html += "<th scope=\"col\">" + Escaped(cell) + "</th>";
  html += "</tr></thead>\n<tbody>\n";
  for (const std::vector<std::string>& row : table.rows) {
    html += "<tr class=\"" + ClassOf(row.empty() ? "" : row.front()) + "\">";
    for (std::size_t k = 0; k < row.size(); ++k) {
      // Columns from the fourth on come in pairs: old, then new.
      const bool differs = pairs && k >= 3 && (k - 3) % 2 == 1 && row[k] != row[k - 1] &&
                           (row.front() == "changed" || row.front() == "moved");
      html += k == 0 ? "<td class=\"kind\">" : differs ? "<td class=\"differs\">" : "<td>";
      AppendEscaped(html, row[k]);
      html += "</td>";
    }
    html += "</tr>\n";
  }
  html += "</tbody>\n</table>\n";
}

constexpr std::string_view kStyle = R"css(
body { font: 14px/1.4 system-ui, sans-serif; margin: 1.5em; color: #1b1b1b; }
h1 { font-size: 1.3em; }
.summary { font-weight: 600; }
table { border-collapse: collapse; margin: 1em 0 2em; }
caption { text-align: left; font-weight: 600; padding: 0.3em 0; }
th, td { border: 1px solid #c8c8c8; padding: 0.25em 0.6em; text-align: left; vertical-align: top; }
th { background: #f0f0f0; }
tr.added { background: #eaf7ee; } tr.added td.kind::before { content: "+ "; color: #0a6b2d; }
tr.removed { background: #fbeaea; } tr.removed td.kind::before { content: "\2212  "; color: #a11b1b; }
tr.changed { background: #fdf5e3; } tr.changed td.kind::before { content: "~ "; color: #7a4f00; }
tr.moved { background: #eaf0fb; } tr.moved td.kind::before { content: "\2192  "; color: #1d4f91; }
tr.unchanged td.kind::before { content: "= "; color: #555; }
tr.added-part { background: #eaf7ee; } tr.added-part td.kind::before { content: "+ "; }
tr.removed-part { background: #fbeaea; } tr.removed-part td.kind::before { content: "\2212  "; }
tr.quantity-changed { background: #fdf5e3; } tr.quantity-changed td.kind::before { content: "\00B1  "; }
td.kind { font-weight: 600; white-space: nowrap; }
td.differs { font-weight: 600; text-decoration: underline; }
.notes { color: #5a4a00; }
)css";

}  // namespace

std::string diff_html(const PartsDiff& diff, const PartsDiffNames& names) {
  // The lists by their names as given (a page's text needs no quotes).
  const std::string older = names.old_name.empty() ? "the old list" : names.old_name;
  const std::string newer = names.new_name.empty() ? "the new list" : names.new_name;
  std::string text = diff_text(diff);
  // The summary is the text's last line.
  text.pop_back();
  const std::string summary = text.substr(text.rfind('\n') + 1);
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
      "style-src 'unsafe-inline'\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  html += "Changes: " + Escaped(older) + " \xE2\x86\x92 " + Escaped(newer) + "</title>\n<style>";
  html += kStyle;
  html += "</style>\n</head>\n<body>\n<h1>Changes from <span class=\"old\">" + Escaped(older) +
          "</span> to <span class=\"new\">" + Escaped(newer) + "</span></h1>\n";
  html += "<p class=\"summary\">" + Escaped(summary) + "</p>\n";
  if (!diff.notes.empty() || !diff.warnings.empty()) {
    html += "<ul class=\"notes\">\n";
    for (const std::string& note : diff.notes) html += "<li>note: " + Escaped(note) + "</li>\n";
    for (const PartsWarning& warning : diff.warnings)
      html += "<li>warning: " + Escaped(warning.message) + "</li>\n";
    html += "</ul>\n";
  }
  AppendTable(html, "changes", "Designators", diff_table(diff), true);
  if (!diff.part_columns.empty())
    AppendTable(html, "parts", "Parts whose quantity changed", diff_parts_table(diff), false);
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace ztxgrp
