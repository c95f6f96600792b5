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

namespace {

[[noreturn]] void WrongKind(PartsOption option, OptionStyle style, const char* kind) {
  throw PartsError(option_name(option, style) + " is " + kind);
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
    case PartsOption::MinRun:
    case PartsOption::HeaderRow:
      WrongKind(option, style, "a whole number");
    case PartsOption::Unchanged:
      break;
  }
  WrongKind(option, style, "true or false");
}

void PartsOptions::set_whole(PartsOption option, long long value) {
  if (option == PartsOption::MinRun) {
    min_run = min_run_from(value);
  } else if (option == PartsOption::HeaderRow) {
    set_header_row(value);
  } else {
    WrongKind(option, style, option == PartsOption::Unchanged ? "true or false" : "a text");
  }
}

void PartsOptions::set_flag(PartsOption option, bool value) {
  if (option != PartsOption::Unchanged) WrongKind(option, style, "not true or false");
  unchanged = value;
}

void PartsOptions::add_name(PartsOption option, std::string_view name) {
  if (option != PartsOption::By) WrongKind(option, style, "not a list");
  by.emplace_back(name);
}

int min_run_from(long long value) noexcept {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

void PartsOptions::add_by_text(std::string_view text) {
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    if (comma > start) by.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
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
    throw PartsError(option_name(PartsOption::Sep, style) + ": " + error.what());
  }
}

void PartsOptions::set_header_row(long long row) {
  if (row < 1)
    throw PartsError(option_name(PartsOption::HeaderRow, style) +
                     ": the header row is counted from 1, as a spreadsheet numbers rows");
  header_row = static_cast<std::uint64_t>(row);
}

namespace {

constexpr struct {
  OutputForm form;
  const char* name;
} kFormNames[] = {
    {OutputForm::Text, "text"},
    {OutputForm::Csv, "csv"},
    {OutputForm::Json, "json"},
    {OutputForm::Workbook, "xlsx"},
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
  throw PartsError(option_name(PartsOption::Format, style) +
                   ": the format is text, csv, json or xlsx, not " + Quoted(name));
}

std::optional<OutputForm> output_form(std::optional<OutputForm> asked, std::string_view file_name) {
  if (asked) return asked;
  auto endsWith = [&](std::string_view suffix) {
    return file_name.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), file_name.end() - suffix.size(),
                      [](char a, char b) { return a == (b | 0x20); });
  };
  if (endsWith(".xlsx")) return OutputForm::Workbook;
  if (endsWith(".csv")) return OutputForm::Csv;
  if (endsWith(".json")) return OutputForm::Json;
  if (endsWith(".txt")) return OutputForm::Text;
  return std::nullopt;
}

void check_join(std::string_view join) {
  CheckUtf8(join);
  if (join.empty()) throw PartsError("the join separator is empty");
  if (join.find('-') != std::string_view::npos || join.find("\u2013") != std::string_view::npos)
    throw PartsError("the join separator " + Quoted(join) +
                     " holds a dash, which would read as a range");
}

void check_min_run(int min_run, OptionStyle style) {
  try {
    CheckMinRun(min_run);
  } catch (const RuntimeError& error) {
    const std::string name = option_name(PartsOption::MinRun, style);
    throw OptionValueError(
        error, name + (style == OptionStyle::Python ? "" : " ") + std::to_string(min_run));
  }
}

void check_parts_options(const PartsOptions& options) {
  check_min_run(options.min_run, options.style);
  try {
    check_join(options.join);
  } catch (const PartsError& error) {
    throw PartsError(option_name(PartsOption::Join, options.style) + ": " + error.what());
  }
}

}  // namespace ztxgrp
