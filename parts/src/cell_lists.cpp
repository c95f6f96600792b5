#include "ztxgrp/cell_lists.hpp"

#include <algorithm>
#include <iterator>
#include <vector>

#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp {
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
std::vector<std::string> Designators(std::span<const std::string> cells, std::string_view join) {
  std::vector<std::string> all;
  for (const std::string& cell : cells) {
    if (cell.empty()) continue;
    std::vector<std::string> some =
        cell_designators(cell, join, kMaxListElements - std::min(all.size(), kMaxListElements));
    all.insert(all.end(), std::make_move_iterator(some.begin()),
               std::make_move_iterator(some.end()));
  }
  return all;
}

}  // namespace

std::string group_cells(std::span<const std::string> cells, std::string_view join, int min_run) {
  check_join(join);
  return Joined(group(Designators(cells, join), min_run), join);
}

std::string ungroup_cells(std::span<const std::string> cells, std::string_view join) {
  check_join(join);
  std::vector<std::string> pieces;
  for (const std::string& cell : cells) {
    if (cell.empty()) continue;
    std::vector<std::string> some = cell_pieces(cell, join);
    pieces.insert(pieces.end(), std::make_move_iterator(some.begin()),
                  std::make_move_iterator(some.end()));
  }
  return Joined(ungroup(pieces), join);
}

std::string expand_cell(std::string_view cell, std::string_view join) {
  check_join(join);
  return Joined(ungroup_item(std::string(cell)), join);
}

std::size_t count_cell_designators(std::span<const std::string> cells, std::string_view join) {
  return Designators(cells, join).size();
}

namespace {

// A range's cells as one list: each cell's text on a line of its own.
std::string ListOf(std::span<const std::string> cells) {
  std::string text;
  for (const std::string& cell : cells) text.append(cell).push_back('\n');
  return text;
}

}  // namespace

std::string combine_cells(SetOperation operation, std::span<const std::string> first,
                          std::span<const std::string> second, std::string_view join, int min_run) {
  check_join(join);
  const std::string lists[] = {ListOf(first), ListOf(second)};
  const std::string_view operands[] = {lists[0], lists[1]};
  return Joined(combine_designators(operation, operands, min_run), join);
}

FreeDesignators free_cells(std::span<const std::string> cells, std::string_view prefix,
                           std::size_t count, std::string_view join, int min_run) {
  check_join(join);
  FreeDesignators free = free_designators(ListOf(cells), prefix, count, min_run);
  free.entries = {Joined(free.entries, join)};
  return free;
}

}  // namespace ztxgrp
