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

}  // namespace ztxgrp
