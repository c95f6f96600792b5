#include "kicad_xml.hpp"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "workbook/xml_stream.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::parts_detail {
namespace {

using workbook::Attribute;

struct Component {
  std::size_t line = 0;
  std::string ref;
  std::vector<std::pair<std::string, std::string>> cells;  // by column name
  bool dnp = false, excluded = false;
};

// The first columns, always there, in this order.
constexpr std::string_view kFixed[] = {"Reference", "Value", "Footprint", "Datasheet"};

class ExportReader final : public workbook::XmlHandler {
 public:
  ExportReader() { wantsLines = true; }

  void Start(std::string_view name, const char** attributes) override {
    ++depth_;
    if (depth_ == 1) {
      if (name != "export")
        throw PartsError("the XML file is no KiCad BOM: its root element is <" + std::string(name) +
                         ">, not <export>");
      return;
    }
    if (depth_ == 2 && name == "components") {
      inComponents_ = true;
      return;
    }
    if (!inComponents_) return;
    if (depth_ == 3) inComponent_ = name == "comp";
    if (!inComponent_) return;  // only a component's elements say anything
    if (depth_ == 3) {
      fieldAt_.clear();
      components.emplace_back();
      Component& comp = components.back();
      comp.line = line;
      const char* ref = Attribute(attributes, "ref");
      if (ref == nullptr || *ref == '\0')
        throw PartsError("a component without a reference (ref)", line, "line");
      comp.ref = ref;
    } else if (depth_ == 4 && (name == "value" || name == "footprint" || name == "datasheet" ||
                               name == "description")) {
      Collect(name == "value"       ? "Value"
              : name == "footprint" ? "Footprint"
              : name == "datasheet" ? "Datasheet"
                                    : "Description");
    } else if (depth_ == 5 && name == "field") {
      const char* field = Attribute(attributes, "name");
      if (field != nullptr) Collect(field);
    } else if (depth_ == 4 && name == "property") {
      const char* property = Attribute(attributes, "name");
      const std::string_view named = property != nullptr ? property : "";
      if (named == "dnp") components.back().dnp = true;
      if (named == "exclude_from_bom") components.back().excluded = true;
    }
  }

  void End(std::string_view) override {
    if (collecting_ && depth_ == collectDepth_) {
      collecting_ = false;
      Component& comp = components.back();
      // A field written twice (Footprint as an element and a field) keeps
      // its first, non-empty text.
      const auto [found, added] = fieldAt_.emplace(column_, comp.cells.size());
      if (added) {
        comp.cells.emplace_back(std::move(column_), std::move(text_));
      } else if (comp.cells[found->second].second.empty()) {
        comp.cells[found->second].second = std::move(text_);
      }
    }
    if (depth_ == 2) inComponents_ = false;
    if (depth_ == 3) inComponent_ = false;
    --depth_;
  }

  void Text(std::string_view text) override {
    if (collecting_) text_.append(text);
  }

  std::vector<Component> components;

 private:
  void Collect(std::string column) {
    collecting_ = true;
    collectDepth_ = depth_;
    column_ = std::move(column);
    text_.clear();
  }

  int depth_ = 0, collectDepth_ = 0;
  bool inComponents_ = false, inComponent_ = false, collecting_ = false;
  std::string column_, text_;
  std::unordered_map<std::string, std::size_t> fieldAt_;  // the component's fields
};

}  // namespace

bool IsXmlDocument(std::string_view bytes) noexcept {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  bytes.remove_prefix(start);
  return bytes.starts_with("<?xml") || bytes.starts_with("<export");
}

KicadBom ReadKicadXml(std::string bytes) {
  ExportReader reader;
  {
    workbook::XmlStream stream("the KiCad XML file", reader);
    stream.Feed(bytes);
    stream.Finish();
  }
  std::string().swap(bytes);
  KicadBom bom;
  // The columns: the fixed ones, then the others in the order first used;
  // Description only when some component has one; DNP when some is.
  std::vector<std::string> header(std::begin(kFixed), std::end(kFixed));
  std::unordered_map<std::string_view, std::size_t> columnOf;
  for (std::size_t c = 0; c < header.size(); ++c) columnOf.emplace(kFixed[c], c);
  bool anyDnp = false, anyDescription = false;
  std::size_t rows = 0;
  for (const Component& comp : reader.components) {
    if (comp.excluded) {
      ++bom.excluded;
      continue;
    }
    ++rows;
    anyDnp |= comp.dnp;
    for (const auto& [name, text] : comp.cells) {
      if (name == "Description") {
        anyDescription |= !text.empty();
      } else if (columnOf.emplace(name, header.size()).second) {
        header.push_back(name);
      }
    }
  }
  if (anyDescription) header.push_back("Description");
  columnOf.insert_or_assign("Description", header.size() - (anyDescription ? 1 : 0));
  if (anyDnp) header.push_back("DNP");
  const std::size_t width = header.size();
  if (rows > kMaxSheetCells / width)
    throw PartsError("the KiCad XML file holds " + std::to_string(rows) + " components of " +
                     std::to_string(width) + " columns, more than " +
                     std::to_string(kMaxSheetCells) + " cells");

  // Every cell's text in one block that the table's views point into.
  auto block = std::make_unique<std::string>();
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // start, length; row by row
  spans.reserve(rows * width);
  std::vector<std::string_view> row(width);
  for (const Component& comp : reader.components) {
    if (comp.excluded) continue;
    std::fill(row.begin(), row.end(), std::string_view());
    for (const auto& [name, text] : comp.cells)
      if (name != "Description" || anyDescription) row[columnOf.at(name)] = text;
    row[0] = comp.ref;
    if (anyDnp) row[width - 1] = comp.dnp ? "DNP" : "";
    for (const std::string_view text : row) {
      spans.emplace_back(block->size(), text.size());
      block->append(text);
    }
    bom.table.lines.push_back(comp.line);
  }
  bom.table.cells.reserve(spans.size());
  for (const auto& [start, length] : spans)
    bom.table.cells.push_back(std::string_view(*block).substr(start, length));
  bom.table.header = std::move(header);
  bom.table.text = std::move(block);
  return bom;
}

std::string ExcludedNote(std::size_t excluded) {
  return std::to_string(excluded) + (excluded == 1
                                         ? " component excluded from the BOM was left out"
                                         : " components excluded from the BOM were left out");
}

}  // namespace ztxgrp::parts_detail
