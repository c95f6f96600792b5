// The options of a row of the parts-list tables (tests/data/parts-files,
// tests/data/diff, tests/data/verify), spelled there as the npm package spells them, as the
// library's options value.
#pragma once

#include <nlohmann/json.hpp>

#include "ztxgrp/parts_options.hpp"

namespace ztxgrp::testing {

inline PartsOptions PartsOptionsOf(const nlohmann::json& o) {
  PartsOptions options;
  options.style = OptionStyle::JavaScript;
  if (o.contains("refs")) options.refs = o["refs"];
  if (o.contains("qty")) options.qty = o["qty"];
  if (o.contains("by") && o["by"].is_string()) options.add_by_text(o["by"].get<std::string>());
  if (o.contains("by") && o["by"].is_array()) options.by = o["by"].get<std::vector<std::string>>();
  if (o.contains("join")) options.join = o["join"];
  if (o.contains("minRun")) options.min_run = o["minRun"];
  if (o.contains("sep")) options.set_separator(o["sep"].get<std::string>());
  if (o.contains("headerRow")) options.set_header_row(o["headerRow"].get<long long>());
  if (o.contains("lastRow")) options.set_last_row(o["lastRow"].get<long long>());
  if (o.contains("maxPerRow")) options.set_max_per_row(o["maxPerRow"].get<long long>());
  options.no_ranges = o.value("noRanges", false);
  if (o.contains("ignore")) options.ignore = o["ignore"].get<std::vector<std::string>>();
  if (o.contains("placementFormat"))
    options.set_placement_format(o["placementFormat"].get<std::string>());
  if (o.contains("format")) options.set_format(o["format"].get<std::string>());
  options.expand = o.value("expand", false);
  options.unchanged = o.value("unchanged", false);
  if (o.contains("parts")) options.parts = o["parts"].get<std::vector<std::string>>();
  if (o.contains("boards")) options.set_boards(o["boards"].get<long long>());
  return options;
}

}  // namespace ztxgrp::testing
