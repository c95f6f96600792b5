#include "ztxgrp/parts_options.hpp"

#include <algorithm>
#include <limits>

#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {

namespace {

constexpr PartsOptionSpec kOptions[] = {
#include "option_rows.inc"
};

}  // namespace

std::span<const PartsOptionSpec> parts_option_table() noexcept {
  return kOptions;
}

std::string option_name(PartsOption option, OptionStyle style) {
  const PartsOptionSpec* declared = &kOptions[0];
  for (const PartsOptionSpec& row : kOptions)
    if (row.option == option) declared = &row;
  switch (style) {
    case OptionStyle::Python:
      return std::string(declared->python) + "=";
    case OptionStyle::JavaScript:
      return declared->javascript;
    case OptionStyle::Calc:
      if (*declared->calc != '\0') return declared->calc;
      break;
    case OptionStyle::Command:
      break;
  }
  return declared->command;
}

std::string PartsOptions::name_of(PartsOption option) const {
  for (const auto& [labelled, label] : labels)
    if (labelled == option) return label;
  return option_name(option, style);
}

namespace {

[[noreturn]] void WrongKind(PartsOption option, const PartsOptions& options, const char* kind) {
  throw PartsError(options.name_of(option) + " is " + kind);
}

// An option of the set operations alone, given to a parts-list operation.
[[noreturn]] void NotPartsOption(PartsOption option, const PartsOptions& options) {
  throw PartsError(options.name_of(option) + " is no option of a parts list");
}

}  // namespace

void PartsOptions::set_text(PartsOption option, std::string_view text) {
  switch (option) {
    case PartsOption::Refs:
      refs = std::string(text);
      return;
    case PartsOption::Qty:
      qty = std::string(text);
      return;
    case PartsOption::By:
      add_by_text(text);
      return;
    case PartsOption::Join:
      join = std::string(text);
      return;
    case PartsOption::Sep:
      set_separator(text);
      return;
    case PartsOption::Sheet:
      sheet = std::string(text);
      return;
    case PartsOption::Format:
      set_format(text);
      return;
    case PartsOption::PlacementFormat:
      set_placement_format(text);
      return;
    case PartsOption::Ignore:
      add_by_text_to(ignore, text);
      return;
    case PartsOption::Parts:
      add_by_text_to(parts, text);
      return;
    case PartsOption::MinRun:
    case PartsOption::HeaderRow:
    case PartsOption::LastRow:
    case PartsOption::MaxPerRow:
    case PartsOption::Boards:
      WrongKind(option, *this, "a whole number");
    case PartsOption::FreeCount:
      NotPartsOption(option, *this);
    case PartsOption::Unchanged:
    case PartsOption::NoRanges:
      break;
  }
  WrongKind(option, *this, "true or false");
}

void PartsOptions::set_whole(PartsOption option, long long value) {
  if (option == PartsOption::MinRun) {
    min_run = min_run_from(value);
  } else if (option == PartsOption::HeaderRow) {
    set_header_row(value);
  } else if (option == PartsOption::LastRow) {
    set_last_row(value);
  } else if (option == PartsOption::MaxPerRow) {
    set_max_per_row(value);
  } else if (option == PartsOption::Boards) {
    set_boards(value);
  } else if (option == PartsOption::FreeCount) {
    NotPartsOption(option, *this);
  } else {
    const bool flag = option == PartsOption::Unchanged || option == PartsOption::NoRanges;
    WrongKind(option, *this, flag ? "true or false" : "a text");
  }
}

void PartsOptions::set_flag(PartsOption option, bool value) {
  if (option == PartsOption::Unchanged) {
    unchanged = value;
  } else if (option == PartsOption::NoRanges) {
    no_ranges = value;
  } else {
    WrongKind(option, *this, "not true or false");
  }
}

void PartsOptions::add_name(PartsOption option, std::string_view name) {
  if (option == PartsOption::By) {
    by.emplace_back(name);
  } else if (option == PartsOption::Ignore) {
    ignore.emplace_back(name);
  } else if (option == PartsOption::Parts) {
    parts.emplace_back(name);
  } else {
    WrongKind(option, *this, "not a list");
  }
}

int min_run_from(long long value) noexcept {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

void add_by_text_to(std::vector<std::string>& names, std::string_view text) {
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    if (comma > start) names.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

void PartsOptions::add_by_text(std::string_view text) {
  add_by_text_to(by, text);
}

namespace {

constexpr struct {
  PlacementFormat format;
  const char* name;
} kPlacementNames[] = {
    {PlacementFormat::KicadPos, "kicad-pos"},
    {PlacementFormat::KicadCsv, "kicad-csv"},
    {PlacementFormat::Cpl, "cpl"},
    {PlacementFormat::Altium, "altium"},
    {PlacementFormat::Eagle, "eagle"},
    {PlacementFormat::Xyrs, "xyrs"},
};

}  // namespace

const char* placement_format_name(PlacementFormat format) noexcept {
  for (const auto& known : kPlacementNames)
    if (known.format == format) return known.name;
  return "";
}

void PartsOptions::set_placement_format(std::string_view name) {
  for (const auto& known : kPlacementNames)
    if (name == known.name) {
      placement_format = known.format;
      return;
    }
  throw PartsError(name_of(PartsOption::PlacementFormat) +
                   ": the placement format is kicad-pos, kicad-csv, cpl, altium, eagle or "
                   "xyrs, not " +
                   Quoted(name));
}

void PartsOptions::set_max_per_row(long long count) {
  if (count < 1)
    throw PartsError(name_of(PartsOption::MaxPerRow) + ": a row holds at least 1 designator");
  max_per_row = static_cast<std::uint64_t>(count);
}

void PartsOptions::set_boards(long long count) {
  if (count < 1) throw PartsError(name_of(PartsOption::Boards) + ": at least 1 board is built");
  boards = static_cast<std::uint64_t>(count);
}

char separator_named(std::string_view name) {
  if (name == "tab" || name == "\\t") return '\t';
  if (name.size() == 1 && name != "\"" && name != "\n" && name != "\r") return name.front();
  throw PartsError("the separator is one character, or \"tab\"");
}

void PartsOptions::set_separator(std::string_view name) {
  try {
    separator = separator_named(name);
  } catch (const PartsError& error) {
    throw PartsError(name_of(PartsOption::Sep) + ": " + error.what());
  }
}

namespace {

// A row named by a whole number, as the header's and the last row are:
// from 1, up to a number past any sheet's rows and any file's first
// records (every front end refuses a number past it alike, whatever its own
// largest number is).
std::uint64_t RowNamed(long long row, const std::string& option, const char* which) {
  constexpr long long kLargestRow = 4294967295;
  if (row < 1 || row > kLargestRow)
    throw PartsError(option + ": the " + which +
                     " is counted from 1, as a spreadsheet numbers rows, up to " +
                     std::to_string(kLargestRow));
  return static_cast<std::uint64_t>(row);
}

}  // namespace

void PartsOptions::set_header_row(long long row) {
  header_row = RowNamed(row, name_of(PartsOption::HeaderRow), "header row");
}

void PartsOptions::set_last_row(long long row) {
  last_row = RowNamed(row, name_of(PartsOption::LastRow), "last row");
}

namespace {

constexpr struct {
  OutputForm form;
  const char* name;
} kFormNames[] = {
    {OutputForm::Text, "text"}, {OutputForm::Csv, "csv"},       {OutputForm::Json, "json"},
    {OutputForm::Html, "html"}, {OutputForm::Workbook, "xlsx"}, {OutputForm::OpenDocument, "ods"},
};

}  // namespace

const char* output_form_name(OutputForm form) noexcept {
  for (const auto& known : kFormNames)
    if (known.form == form) return known.name;
  return "";
}

void PartsOptions::set_format(std::string_view name) {
  for (const auto& known : kFormNames)
    if (name == known.name) {
      format = known.form;
      return;
    }
  throw PartsError(name_of(PartsOption::Format) +
                   ": the format is text, csv, json, html, xlsx or ods, not " + Quoted(name));
}

std::optional<OutputForm> output_form(std::optional<OutputForm> asked, std::string_view file_name) {
  if (asked) return asked;
  auto endsWith = [&](std::string_view suffix) {
    return file_name.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), file_name.end() - suffix.size(),
                      [](char a, char b) { return a == (b | 0x20); });
  };
  if (endsWith(".xlsx")) return OutputForm::Workbook;
  if (endsWith(".ods")) return OutputForm::OpenDocument;
  if (endsWith(".csv")) return OutputForm::Csv;
  if (endsWith(".json")) return OutputForm::Json;
  if (endsWith(".txt")) return OutputForm::Text;
  if (endsWith(".html") || endsWith(".htm")) return OutputForm::Html;
  return std::nullopt;
}

void check_join(std::string_view join) {
  CheckUtf8(join);
  if (join.empty()) throw PartsError("the join separator is empty");
  if (join.find('-') != std::string_view::npos || join.find("\u2013") != std::string_view::npos)
    throw PartsError("the join separator " + Quoted(join) +
                     " holds a dash, which would read as a range");
}

void check_min_run(int min_run, const PartsOptions& options) {
  try {
    CheckMinRun(min_run);
  } catch (const RuntimeError& error) {
    // Python's name ends in '=' (min_run=1); the others are followed by a blank.
    const std::string name = options.name_of(PartsOption::MinRun);
    throw OptionValueError(error,
                           name + (name.ends_with('=') ? "" : " ") + std::to_string(min_run));
  }
}

void check_min_run(int min_run, OptionStyle style) {
  PartsOptions options;
  options.style = style;
  check_min_run(min_run, options);
}

void check_free_count(long long count, OptionStyle style) {
  if (count < 1)
    throw PartsError(option_name(PartsOption::FreeCount, style) +
                     ": at least 1 free number is asked for, not " + std::to_string(count));
}

void check_parts_options(const PartsOptions& options) {
  check_min_run(options.min_run, options);
  if (options.boards != 1 && options.parts.empty())
    throw PartsError(options.name_of(PartsOption::Boards) +
                     " counts the parts table's quantities; " + "name the columns of a part with " +
                     options.name_of(PartsOption::Parts));
  try {
    check_join(options.join);
  } catch (const PartsError& error) {
    throw PartsError(options.name_of(PartsOption::Join) + ": " + error.what());
  }
}

}  // namespace ztxgrp
