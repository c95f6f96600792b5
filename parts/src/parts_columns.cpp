// Choosing a parts list's columns by the names a user gives.
#include <algorithm>
#include <string>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"

namespace ztxgrp {
namespace {

// Header names compared without blanks and ASCII case.
std::string Normalized(std::string_view name) {
  std::string out;
  for (std::size_t k = 0; k < name.size(); ++k) {
    const char c = name[k];
    if (c == ' ' || c == '\t' || c == '_') continue;
    if (name.substr(k).starts_with("\xC2\xA0")) {  // no-break space
      ++k;
      continue;
    }
    out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return out;
}

template <std::size_t N>
std::optional<std::size_t> FirstNamed(std::span<const std::string> header,
                                      const std::string_view (&names)[N]) {
  for (std::size_t k = 0; k < header.size(); ++k)
    if (std::find(names, names + N, Normalized(header[k])) != names + N) return k;
  return std::nullopt;
}

std::string HeaderList(std::span<const std::string> header) {
  std::string list;
  for (const std::string& name : header) list += (list.empty() ? "" : ", ") + Quoted(name);
  return list;
}

std::size_t RequireColumn(std::span<const std::string> header, const std::string& option,
                          const std::string& name) {
  if (const auto column = find_column(header, name)) return *column;
  throw PartsError(option + ": no column named " + Quoted(name) + "; the headers are " +
                   HeaderList(header));
}

}  // namespace

PartsColumns choose_columns(std::span<const std::string> header, const PartsOptions& names) {
  PartsColumns columns;
  columns.join = names.join;
  columns.min_run = names.min_run;
  columns.max_per_row = names.max_per_row;
  columns.no_ranges = names.no_ranges;
  if (names.refs) {
    columns.refs = RequireColumn(header, names.name_of(PartsOption::Refs), *names.refs);
  } else if (const auto refs = find_designator_column(header)) {
    columns.refs = *refs;
  } else {
    throw PartsError(
        "no designator column (Reference, Designator, RefDes, ...) among the headers " +
        HeaderList(header) + "; name it with " + names.name_of(PartsOption::Refs));
  }
  if (names.qty) {
    columns.qty = find_column(header, *names.qty);
    if (columns.qty == columns.refs)
      throw PartsError(names.name_of(PartsOption::Qty) + " " + *names.qty +
                       " names the designator column");
    columns.new_qty = *names.qty;
  } else {
    columns.qty = find_quantity_column(header);
  }
  for (const std::string& name : names.by)
    columns.by.push_back(RequireColumn(header, names.name_of(PartsOption::By), name));
  for (const std::string& name : names.parts)
    columns.parts.push_back(RequireColumn(header, names.name_of(PartsOption::Parts), name));
  return columns;
}

std::optional<std::size_t> find_column(std::span<const std::string> header, std::string_view name) {
  for (std::size_t k = 0; k < header.size(); ++k)
    if (header[k] == name) return k;
  const std::string wanted = Normalized(name);
  for (std::size_t k = 0; k < header.size(); ++k)
    if (Normalized(header[k]) == wanted) return k;
  return std::nullopt;
}

std::string column_name_key(std::string_view name) {
  return Normalized(name);
}

std::optional<std::size_t> find_designator_column(std::span<const std::string> header) {
  static constexpr std::string_view kNames[] = {
      "reference",    "references",          "ref",
      "refs",         "designator",          "designators",
      "refdes",       "referencedesignator", "referencedesignators",
      "partreference"};
  return FirstNamed(header, kNames);
}

std::optional<std::size_t> find_quantity_column(std::span<const std::string> header) {
  static constexpr std::string_view kNames[] = {"qty", "quantity"};
  return FirstNamed(header, kNames);
}

}  // namespace ztxgrp
