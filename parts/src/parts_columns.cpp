// Choosing a parts list's columns by the names a user gives.
#include <string>

#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"

namespace ztxgrp {
namespace {

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

PartsColumns choose_columns(std::span<const std::string> header, const PartsColumnNames& names,
                            const PartsOptionSpelling& spelling) {
  PartsColumns columns;
  columns.join = names.join;
  columns.min_run = names.min_run;
  if (names.refs) {
    columns.refs = RequireColumn(header, spelling.refs, *names.refs);
  } else if (const auto refs = find_designator_column(header)) {
    columns.refs = *refs;
  } else {
    throw PartsError(
        "no designator column (Reference, Designator, RefDes, ...) among the headers " +
        HeaderList(header) + "; name it with " + spelling.refs);
  }
  if (names.qty) {
    columns.qty = find_column(header, *names.qty);
    if (columns.qty == columns.refs)
      throw PartsError(spelling.qty + " " + *names.qty + " names the designator column");
    columns.new_qty = *names.qty;
  } else {
    columns.qty = find_quantity_column(header);
  }
  for (const std::string& name : names.by)
    columns.by.push_back(RequireColumn(header, spelling.by, name));
  return columns;
}

}  // namespace ztxgrp
