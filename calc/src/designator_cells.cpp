#include "designator_cells.hpp"

#include <vector>

#include "ztxgrp/cell_lists.hpp"
#include "ztxgrp/number_text.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp::calc {
namespace {

// The cells as the texts a sheet shows.
std::vector<std::string> Texts(std::span<const SheetValue> cells) {
  std::vector<std::string> texts;
  texts.reserve(cells.size());
  for (const SheetValue& cell : cells) texts.push_back(CellText(cell));
  return texts;
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
  return group_cells(Texts(cells), join, min_run);
}

std::string UngroupCells(std::span<const SheetValue> cells, std::string_view join) {
  return ungroup_cells(Texts(cells), join);
}

std::string ExpandRange(const SheetValue& range, std::string_view join) {
  return expand_cell(CellText(range), join);
}

bool CheckRange(const SheetValue& range) {
  return is_valid_range(CellText(range));
}

std::size_t CountDesignators(std::span<const SheetValue> cells) {
  return count_cell_designators(Texts(cells), PartsOptions().join);
}

std::string CombineCells(int operation, std::span<const SheetValue> first,
                         std::span<const SheetValue> second, std::string_view join, int min_run) {
  return combine_cells(static_cast<SetOperation>(operation), Texts(first), Texts(second), join,
                       min_run);
}

std::string FreeNumbers(std::span<const SheetValue> cells, const SheetValue& prefix,
                        std::size_t count, std::string_view join, int min_run) {
  const FreeDesignators free = free_cells(Texts(cells), CellText(prefix), count, join, min_run);
  // A result that looks whole but is short would mislead: a sheet shows
  // no warning, so too few free numbers is an error.
  if (free.found < count) Raise(ErrorNumber::SubscriptOutOfRange);
  return free.entries.front();
}

}  // namespace ztxgrp::calc
