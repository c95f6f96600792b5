// The parts-list layer for Python: rows as dicts (what csv.DictReader
// yields), collapsed or expanded; the package's collapse_rows and
// expand_rows turn the warnings returned here into Python warnings.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/parts_list.hpp"

namespace py = pybind11;

namespace ztxgrp::python {
namespace {

std::string Utf8Of(py::handle text) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
  if (data == nullptr) throw py::error_already_set();
  return std::string(data, static_cast<std::size_t>(size));
}

// The rows' keys, in the order first seen, as the header; cells str or None.
PartsTable TableOf(py::handle rows) {
  PartsTable table;
  std::vector<std::vector<std::pair<std::size_t, std::string>>> cells;
  for (const py::handle row : py::iter(rows)) {
    if (!PyDict_Check(row.ptr()))
      throw py::type_error("row " + std::to_string(cells.size() + 1) + " is no dict");
    auto& out = cells.emplace_back();
    const py::dict dict = py::reinterpret_borrow<py::dict>(row);
    for (const auto& [key, value] : dict) {
      // csv.DictReader keeps the fields beyond the header under None.
      if (key.is_none() && py::isinstance<py::list>(value)) {
        const std::size_t header = py::len(dict) - 1, extra = py::len(value);
        throw py::value_error("row " + std::to_string(cells.size()) + " has " +
                              std::to_string(header + extra) + " fields; the header has " +
                              std::to_string(header));
      }
      if (!PyUnicode_Check(key.ptr()))
        throw py::type_error("row " + std::to_string(cells.size()) + ": a column name is no str");
      const std::string name = Utf8Of(key);
      std::size_t column = 0;
      while (column < table.header.size() && table.header[column] != name) ++column;
      if (column == table.header.size()) table.header.push_back(name);
      if (value.is_none()) continue;
      if (!PyUnicode_Check(value.ptr()))
        throw py::type_error("row " + std::to_string(cells.size()) + ", column " + name +
                             ": the cell is no str");
      out.emplace_back(column, Utf8Of(value));
    }
  }
  for (auto& row : cells) {
    std::vector<std::string>& full = table.rows.emplace_back(table.header.size());
    for (auto& [column, text] : row) full[column] = std::move(text);
  }
  return table;
}

PartsColumns ColumnsOf(const PartsTable& table, const std::optional<std::string>& refs,
                       const std::vector<std::string>& by, const std::optional<std::string>& qty,
                       const std::string& join, int minRun) {
  PartsColumnNames names;
  names.refs = refs;
  names.qty = qty;
  names.by = by;
  names.join = join;
  names.min_run = minRun;
  return choose_columns(table.header, names, {"refs=", "qty=", "by="});
}

py::tuple ToPython(const PartsResult& result) {
  py::list rows;
  std::vector<py::str> names;
  for (const std::string& name : result.table.header) names.emplace_back(name);
  for (const std::vector<std::string>& row : result.table.rows) {
    py::dict out;
    for (std::size_t k = 0; k < row.size(); ++k) out[names[k]] = py::str(row[k]);
    rows.append(std::move(out));
  }
  py::list warnings;
  for (const PartsWarning& warning : result.warnings) warnings.append(py::str(warning.message));
  return py::make_tuple(std::move(rows), std::move(warnings));
}

// A file's bytes from any bytes-like object.
std::string BytesOf(const py::buffer& data) {
  const py::buffer_info info = data.request();
  if (info.ndim != 1 || info.itemsize != 1) throw py::type_error("data is bytes");
  return std::string(static_cast<const char*>(info.ptr), static_cast<std::size_t>(info.size));
}

PartsFileOptions FileOptions(std::optional<std::string> refs, std::vector<std::string> by,
                             std::optional<std::string> qty, std::string join, int minRun,
                             const std::optional<std::string>& sep) {
  PartsFileOptions options;
  options.names.refs = std::move(refs);
  options.names.qty = std::move(qty);
  options.names.by = std::move(by);
  options.names.join = std::move(join);
  options.names.min_run = minRun;
  if (sep) options.separator = separator_named(*sep);
  return options;
}

// A parts-list file's bytes, collapsed or expanded, as the bytes of the
// result file and the warnings' messages.
py::tuple ProcessCsv(const py::buffer& data, std::optional<std::string> refs,
                     std::vector<std::string> by, std::optional<std::string> qty, std::string join,
                     int minRun, std::optional<std::string> sep, bool expand) {
  std::string bytes = BytesOf(data);
  PartsFileOptions options =
      FileOptions(std::move(refs), std::move(by), std::move(qty), std::move(join), minRun, sep);
  options.expand = expand;
  PartsFileResult result;
  {
    py::gil_scoped_release unlocked;
    result = process_parts_file(std::move(bytes), options, {"refs=", "qty=", "by="});
  }
  py::list warnings;
  for (const PartsWarning& warning : result.warnings) warnings.append(py::str(warning.message));
  return py::make_tuple(py::bytes(result.bytes), std::move(warnings));
}

// A table of strings seen through views of its cells, for the library's
// calls that take views.
struct TableCells {
  std::vector<std::string_view> cells;
  PartsTableView View(const PartsTable& table, std::string_view noun) {
    for (const std::vector<std::string>& row : table.rows)
      cells.insert(cells.end(), row.begin(), row.end());
    return {table.header, cells, {}, noun};
  }
};

py::tuple DiffRows(py::handle oldRows, py::handle newRows, std::optional<std::string> refs,
                   std::vector<std::string> by, std::optional<std::string> qty, std::string join,
                   int minRun, bool unchanged) {
  const PartsTable older = TableOf(oldRows), newer = TableOf(newRows);
  PartsColumnNames names;
  names.refs = std::move(refs);
  names.qty = std::move(qty);
  names.by = std::move(by);
  names.join = std::move(join);
  names.min_run = minRun;
  TableCells oldCells, newCells;
  const PartsTableView oldView = oldCells.View(older, "row"), newView = newCells.View(newer, "row");
  PartsDiff diff;
  {
    py::gil_scoped_release unlocked;
    diff = diff_tables(oldView, newView, names, {"refs=", "qty=", "by="}, unchanged);
  }
  PartsResult result;
  result.table = diff_table(diff);
  result.warnings = diff.warnings;
  for (const std::string& note : diff.notes)
    result.warnings.push_back({PartsWarning::Kind::DifferingCells, note, {}});
  return ToPython(result);
}

py::tuple DiffCsv(const py::buffer& oldData, const py::buffer& newData,
                  std::optional<std::string> refs, std::vector<std::string> by,
                  std::optional<std::string> qty, std::string join, int minRun,
                  std::optional<std::string> sep, bool unchanged) {
  const PartsFileOptions options =
      FileOptions(std::move(refs), std::move(by), std::move(qty), std::move(join), minRun, sep);
  std::string older = BytesOf(oldData), newer = BytesOf(newData);
  PartsDiffFileResult result;
  {
    py::gil_scoped_release unlocked;
    result = diff_parts_files(std::move(older), std::move(newer), options, {"refs=", "qty=", "by="},
                              unchanged);
  }
  py::list messages;
  for (const std::string& note : result.diff.notes) messages.append(py::str(note));
  for (const PartsWarning& warning : result.diff.warnings)
    messages.append(py::str(warning.message));
  return py::make_tuple(py::bytes(result.bytes), std::move(messages));
}

// No rows: nothing to collapse or expand, and no columns known.
py::tuple NoRows() {
  return py::make_tuple(py::list(), py::list());
}

}  // namespace

void AddPartsFunctions(py::module_& module) {
  module.def(
      "_collapse_rows",
      [](py::handle rows, std::optional<std::string> refs, std::vector<std::string> by,
         std::optional<std::string> qty, std::string join, int minRun) {
        const PartsTable table = TableOf(rows);
        if (table.rows.empty()) return NoRows();
        const PartsColumns columns = ColumnsOf(table, refs, by, qty, join, minRun);
        PartsResult result;
        {
          py::gil_scoped_release unlocked;
          result = collapse_rows(table, columns);
        }
        return ToPython(result);
      },
      py::arg("rows"), py::arg("refs"), py::arg("by"), py::arg("qty"), py::arg("join"),
      py::arg("min_run"));
  module.def(
      "_expand_rows",
      [](py::handle rows, std::optional<std::string> refs, std::optional<std::string> qty,
         std::string join) {
        const PartsTable table = TableOf(rows);
        if (table.rows.empty()) return NoRows();
        const PartsColumns columns = ColumnsOf(table, refs, {}, qty, join, kSystemMinRun);
        PartsResult result;
        {
          py::gil_scoped_release unlocked;
          result = expand_rows(table, columns);
        }
        return ToPython(result);
      },
      py::arg("rows"), py::arg("refs"), py::arg("qty"), py::arg("join"));
  module.def("_diff_rows", &DiffRows, py::arg("old_rows"), py::arg("new_rows"), py::arg("refs"),
             py::arg("by"), py::arg("qty"), py::arg("join"), py::arg("min_run"),
             py::arg("unchanged"));
  module.def("_diff_csv", &DiffCsv, py::arg("old"), py::arg("new"), py::arg("refs"), py::arg("by"),
             py::arg("qty"), py::arg("join"), py::arg("min_run"), py::arg("sep"),
             py::arg("unchanged"));
  module.def("_process_csv", &ProcessCsv, py::arg("data"), py::arg("refs"), py::arg("by"),
             py::arg("qty"), py::arg("join"), py::arg("min_run"), py::arg("sep"),
             py::arg("expand"));
}

}  // namespace ztxgrp::python
