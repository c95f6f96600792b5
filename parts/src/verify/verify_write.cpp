// The findings of a verification written for people, as a table (CSV or a
// workbook) and as JSON.
#include <nlohmann/json.hpp>

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/parts_verify.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp {
namespace {

constexpr struct {
  VerifyFinding::Kind kind;
  const char* name;
  const char* words;
} kKinds[] = {
    {VerifyFinding::Kind::NotPlaced, "not-placed", "in the parts list, not placed"},
    {VerifyFinding::Kind::NotListed, "not-in-parts-list", "placed, not in the parts list"},
    {VerifyFinding::Kind::LetterCase, "letter-case", "the same designator but for letter case"},
    {VerifyFinding::Kind::Repeated, "repeated", "more than once"},
    {VerifyFinding::Kind::Quantity, "quantity", "a quantity that is not the designators' count"},
    {VerifyFinding::Kind::NoDesignator, "no-designator", "a quantity but no designator"},
    {VerifyFinding::Kind::DoNotPlace, "do-not-place", "do not place"},
    {VerifyFinding::Kind::CellsDiffer, "cells-differ", "cells that disagree"},
    {VerifyFinding::Kind::TooManyPerRow, "too-many-per-row", "more designators than a row takes"},
};

// "bom.csv line 3" or "top.pos lines 2, 5".
std::string PlaceText(const FindingPlace& place) {
  std::string text = place.file + " " + place.noun + (place.lines.size() == 1 ? " " : "s ");
  for (std::size_t k = 0; k < place.lines.size(); ++k)
    text += (k ? ", " : "") + std::to_string(place.lines[k]);
  return text;
}

std::string LinesText(const FindingPlace& place) {
  std::string text;
  for (std::size_t k = 0; k < place.lines.size(); ++k)
    text += (k ? ", " : "") + std::to_string(place.lines[k]);
  return text;
}

}  // namespace

const char* finding_name(VerifyFinding::Kind kind) noexcept {
  for (const auto& known : kKinds)
    if (known.kind == kind) return known.name;
  return "";
}

const char* finding_words(VerifyFinding::Kind kind) noexcept {
  for (const auto& known : kKinds)
    if (known.kind == kind) return known.words;
  return "";
}

std::string verify_text(const VerifyResult& result) {
  std::string text;
  for (const VerifyFinding& finding : result.findings) {
    text += finding_words(finding.kind);
    text += ":";
    if (!finding.designators.empty())
      text += " " + finding.designators + " (" + std::to_string(finding.count) + ")";
    if (!finding.detail.empty())
      text += (finding.designators.empty() ? " " : "; ") + finding.detail;
    if (!finding.places.empty()) {
      text += " [";
      for (std::size_t k = 0; k < finding.places.size(); ++k)
        text += (k ? "; " : "") + PlaceText(finding.places[k]);
      text += "]";
    }
    text += "\n";
  }
  const std::size_t count = result.findings.size();
  text += count == 0 ? std::string("the files agree")
                     : std::to_string(count) + (count == 1 ? " finding" : " findings");
  text += "\n";
  return text;
}

PartsTable verify_table(const VerifyResult& result) {
  PartsTable table;
  table.header = {"Finding", "Designators", "Count", "File", "Lines", "Detail"};
  for (const VerifyFinding& finding : result.findings) {
    const std::string count = std::to_string(finding.count);
    if (finding.places.empty()) {
      table.rows.push_back(
          {finding_name(finding.kind), finding.designators, count, "", "", finding.detail});
      continue;
    }
    for (const FindingPlace& place : finding.places)
      table.rows.push_back({finding_name(finding.kind), finding.designators, count, place.file,
                            LinesText(place), finding.detail});
  }
  return table;
}

std::string verify_json(const VerifyResult& result) {
  nlohmann::ordered_json document;
  document["findings"] = nlohmann::ordered_json::array();
  for (const VerifyFinding& finding : result.findings) {
    nlohmann::ordered_json entry;
    entry["finding"] = finding_name(finding.kind);
    entry["designators"] = finding.designators;
    entry["count"] = finding.count;
    entry["detail"] = finding.detail;
    entry["places"] = nlohmann::ordered_json::array();
    for (const FindingPlace& place : finding.places)
      entry["places"].push_back(
          {{"file", place.file}, {"noun", place.noun}, {"lines", place.lines}});
    document["findings"].push_back(std::move(entry));
  }
  document["notes"] = result.notes;
  document["warnings"] = nlohmann::ordered_json::array();
  for (const PartsWarning& warning : result.warnings)
    document["warnings"].push_back(warning.message);
  return document.dump(2) + "\n";
}

std::string write_verify_result(const VerifyResult& result, const PartsOptions& options) {
  const OutputForm form = options.format.value_or(OutputForm::Text);
  if (form == OutputForm::Text) return verify_text(result);
  if (form == OutputForm::Json) return verify_json(result);
  if (form == OutputForm::Html)
    throw PartsError(options.name_of(PartsOption::Format) +
                     ": the findings are written as text, csv, json, xlsx or ods, not html");
  const PartsTable table = verify_table(result);
  if (form == OutputForm::Csv) {
    std::string text;
    const CsvFormat format;
    AppendCsvRow(text, table.header, format);
    for (const std::vector<std::string>& row : table.rows) AppendCsvRow(text, row, format);
    return text;
  }
  WorkbookSheet sheet;
  sheet.name = "Findings";
  sheet.header = table.header;
  sheet.rows = table.rows;
  // The counts are numbers.
  sheet.number = [](std::size_t, std::size_t column,
                    std::string_view text) -> std::optional<std::string> {
    if (column == 2 && !text.empty()) return std::string(text);
    return std::nullopt;
  };
  return write_workbook(sheet, form == OutputForm::OpenDocument ? SpreadsheetForm::OpenDocument
                                                                : SpreadsheetForm::OfficeOpenXml);
}

}  // namespace ztxgrp
