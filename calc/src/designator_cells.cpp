#include "designator_cells.hpp"

#include <vector>

#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/number_text.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp::calc {
namespace {

std::string Joined(const std::vector<std::string>& entries, std::string_view join) {
  std::string text;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (k > 0) text += join;
    text += entries[k];
  }
  return text;
}

// Every designator of the cells, ranges expanded, at most a list's worth.
std::vector<std::string> Designators(std::span<const SheetValue> cells, std::string_view join) {
  std::vector<std::string> all;
  for (const SheetValue& cell : cells) {
    const std::string text = CellText(cell);
    if (text.empty()) continue;
    std::vector<std::string> some =
        cell_designators(text, join, kMaxListElements - std::min(all.size(), kMaxListElements));
    all.insert(all.end(), std::make_move_iterator(some.begin()),
               std::make_move_iterator(some.end()));
  }
  return all;
}

}  // namespace

std::string CellText(const SheetValue& value) {
  switch (value.kind) {
    case SheetValue::Kind::Text:
      return Utf16ToUtf8(value.text);
    case SheetValue::Kind::Number:
      return number_text(value.number);
    case SheetValue::Kind::Empty:
      break;
  }
  return {};
}

std::string GroupCells(std::span<const SheetValue> cells, std::string_view join, int min_run) {
  check_join(join);
  return Joined(group(Designators(cells, join), min_run), join);
}

std::string UngroupCells(std::span<const SheetValue> cells, std::string_view join) {
  check_join(join);
  std::vector<std::string> pieces;
  for (const SheetValue& cell : cells) {
    const std::string text = CellText(cell);
    if (text.empty()) continue;
    std::vector<std::string> some = cell_pieces(text, join);
    pieces.insert(pieces.end(), std::make_move_iterator(some.begin()),
                  std::make_move_iterator(some.end()));
  }
  return Joined(ungroup(pieces), join);
}

std::string ExpandRange(const SheetValue& range, std::string_view join) {
  check_join(join);
  return Joined(ungroup_item(CellText(range)), join);
}

bool CheckRange(const SheetValue& range) {
  return is_valid_range(CellText(range));
}

std::size_t CountDesignators(std::span<const SheetValue> cells) {
  return Designators(cells, ", ").size();
}

}  // namespace ztxgrp::calc
