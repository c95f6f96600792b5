// A comparison written for people (one line per change, then a summary)
// and as JSON: the renderings that the command, git's diff driver, Python
// and JavaScript all give, so that each front end prints the same text.
#include <nlohmann/json.hpp>

#include <string>

#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/quoted.hpp"

namespace ztxgrp {
namespace {

// The compared columns' names, then the quantity's.
std::vector<std::string> CellNames(const PartsDiff& diff) {
  std::vector<std::string> names = diff.columns;
  if (diff.qty_name) names.push_back(*diff.qty_name);
  return names;
}

// "Value" "10k": a cell whole, escaped so that it stays on one line.
std::string NamedCell(const std::string& name, const std::string& cell) {
  return QuotedWhole(name) + " " + QuotedWhole(cell);
}

// ""Value" "10k" -> "22k"" for the cells that differ; for a one-sided line,
// its cells that hold something.
std::string CellsText(const std::vector<std::string>& names, const PartsChange& change) {
  std::string text;
  for (std::size_t k = 0; k < names.size(); ++k) {
    std::string part;
    if (change.old_cells && change.new_cells) {
      const std::string &before = (*change.old_cells)[k], &after = (*change.new_cells)[k];
      if (before != after) part = NamedCell(names[k], before) + " -> " + QuotedWhole(after);
    } else {
      const std::string& cell = change.old_cells ? (*change.old_cells)[k] : (*change.new_cells)[k];
      if (!cell.empty()) part = NamedCell(names[k], cell);
    }
    if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
  }
  return text;
}

// A row without designators on both sides, named by the compared cells it
// was matched by (those that hold something): which part it is.
std::string MatchedBy(const PartsDiff& diff, const PartsChange& change) {
  std::string text;
  for (std::size_t k = 0; k < diff.columns.size(); ++k) {
    const std::string& cell = (*change.old_cells)[k];
    if (!cell.empty()) text += (text.empty() ? "" : ", ") + NamedCell(diff.columns[k], cell);
  }
  return text.empty() ? "with no compared cells" : text;
}

nlohmann::ordered_json Side(const PartsDiff& diff,
                            const std::optional<std::vector<std::string>>& cells) {
  if (!cells) return nullptr;
  nlohmann::ordered_json side = nlohmann::ordered_json::object();
  for (std::size_t k = 0; k < diff.columns.size(); ++k) side[diff.columns[k]] = (*cells)[k];
  if (diff.qty_name) side[*diff.qty_name] = cells->back();
  return side;
}

// A part's line: its key cells, its quantities, the designators that
// joined and left it ("quantity changed "Value" "10k": 4 -> 6 (+2), added
// R9-R10 (2), removed R5 (1)").
std::string PartLine(const PartsDiff& diff, const PartQuantity& part) {
  std::string text = part_change_name(part.kind);
  for (std::size_t k = 0; k < diff.part_columns.size(); ++k)
    text += (k == 0 ? " " : ", ") + NamedCell(diff.part_columns[k], part.key[k]);
  text += ": " + std::to_string(part.old_quantity) + " -> " + std::to_string(part.new_quantity) +
          " (" + quantity_difference(part.old_quantity, part.new_quantity) + ")";
  if (part.added_count)
    text += ", added " + part.added + " (" + std::to_string(part.added_count) + ")";
  if (part.removed_count)
    text += ", removed " + part.removed + " (" + std::to_string(part.removed_count) + ")";
  return text + '\n';
}

}  // namespace

std::string diff_text(const PartsDiff& diff) {
  const std::vector<std::string> names = CellNames(diff);
  std::string text;
  std::size_t lines[5] = {}, designators[5] = {};
  for (const PartsChange& change : diff.changes) {
    const auto kind = static_cast<std::size_t>(change.kind);
    ++lines[kind];
    designators[kind] += change.count.value_or(0);
    text += change_name(change.kind);
    if (change.count)
      text += " " + change.designators + " (" + std::to_string(*change.count) + ")";
    else if (change.old_cells && change.new_cells)
      text += " (a row without designators: " + MatchedBy(diff, change) + ")";
    else
      text += " (a row without designators)";
    const std::string cells = CellsText(names, change);
    if (!cells.empty()) text += ": " + cells;
    text += '\n';
  }
  for (const PartQuantity& part : diff.parts) text += PartLine(diff, part);
  std::string summary;
  for (const PartsChange::Kind kind :
       {PartsChange::Kind::Changed, PartsChange::Kind::Moved, PartsChange::Kind::Added,
        PartsChange::Kind::Removed, PartsChange::Kind::Unchanged}) {
    const auto k = static_cast<std::size_t>(kind);
    if (lines[k] == 0) continue;
    const char* noun = designators[k] == 1 ? " designator)" : " designators)";
    summary += (summary.empty() ? "" : ", ") + std::to_string(lines[k]) + " " + change_name(kind) +
               " (" + std::to_string(designators[k]) + (summary.empty() ? noun : ")");
  }
  if (!diff.differ()) summary = "the lists agree" + (summary.empty() ? "" : ": " + summary);
  return text + summary + '\n';
}

std::string diff_json(const PartsDiff& diff) {
  nlohmann::ordered_json changes = nlohmann::ordered_json::array();
  for (const PartsChange& change : diff.changes)
    changes.push_back({{"change", change_name(change.kind)},
                       {"designators", change.designators},
                       {"count", change.count ? nlohmann::ordered_json(*change.count) : nullptr},
                       {"old", Side(diff, change.old_cells)},
                       {"new", Side(diff, change.new_cells)}});
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const PartsWarning& warning : diff.warnings) warnings.push_back(warning.message);
  nlohmann::ordered_json document = {{"columns", diff.columns},
                                     {"changes", changes},
                                     {"warnings", warnings},
                                     {"notes", diff.notes}};
  if (!diff.part_columns.empty()) {
    nlohmann::ordered_json parts = nlohmann::ordered_json::array();
    for (const PartQuantity& part : diff.parts) {
      nlohmann::ordered_json key = nlohmann::ordered_json::object();
      for (std::size_t k = 0; k < diff.part_columns.size(); ++k)
        key[diff.part_columns[k]] = part.key[k];
      parts.push_back({{"change", part_change_name(part.kind)},
                       {"part", key},
                       {"old", part.old_quantity},
                       {"new", part.new_quantity},
                       {"difference", quantity_difference(part.old_quantity, part.new_quantity)},
                       {"added", part.added},
                       {"added_count", part.added_count},
                       {"removed", part.removed},
                       {"removed_count", part.removed_count}});
    }
    document["part_columns"] = diff.part_columns;
    document["parts"] = parts;
  }
  return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::strict) + '\n';
}

}  // namespace ztxgrp
