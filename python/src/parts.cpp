// The parts-list layer for Python: rows as dicts (what csv.DictReader
// yields), collapsed or expanded; the package's collapse_rows and
// expand_rows turn the warnings returned here into Python warnings.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "python_values.hpp"
#include "ztxgrp/designator_sets.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/parts_verify.hpp"

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
  const py::object mapping = py::module_::import("collections.abc").attr("Mapping");
  for (const py::handle row : py::iter(rows)) {
    // A dict as it is; any other mapping (MappingProxyType, a custom one)
    // read once into one.
    const bool isDict = PyDict_Check(row.ptr());
    if (!isDict && !py::isinstance(row, mapping))
      throw py::type_error("row " + std::to_string(cells.size() + 1) + " is no mapping");
    auto& out = cells.emplace_back();
    const py::dict dict = isDict ? py::reinterpret_borrow<py::dict>(row)
                                 : py::dict(py::reinterpret_borrow<py::object>(row));
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

// The keyword arguments of a parts-list call as the library's options: each
// option of the library's table under its Python name, translated by its
// kind alone (`by` a str of names separated by commas or an iterable of
// names; a min_run of any size). None is an option not given.
PartsOptions OptionsOf(const py::dict& keywords) {
  PartsOptions options;
  options.style = OptionStyle::Python;
  for (const PartsOptionSpec& declared : parts_option_table()) {
    if (!keywords.contains(declared.python)) continue;
    const py::handle value = keywords[declared.python];
    if (value.is_none()) continue;
    const auto refuse = [&](const std::string& kind) {
      throw py::type_error(std::string(declared.python) + " is " + kind + ", not " +
                           std::string(py::str(py::type::handle_of(value).attr("__name__"))));
    };
    switch (declared.kind) {
      case OptionKind::Text:
      case OptionKind::Separator:
      case OptionKind::Form:
        if (!PyUnicode_Check(value.ptr())) refuse("a str");
        options.set_text(declared.option, Utf8Of(value));
        break;
      case OptionKind::Names:
        if (PyUnicode_Check(value.ptr())) {
          options.set_text(declared.option, Utf8Of(value));
          break;
        }
        for (const py::handle name : py::iter(value)) {
          if (!PyUnicode_Check(name.ptr()))
            throw py::type_error(std::string(declared.python) + " is a str or a list of str");
          options.add_name(declared.option, Utf8Of(name));
        }
        break;
      case OptionKind::Whole:
        options.set_whole(declared.option, declared.option == PartsOption::MinRun
                                               ? MinRunOf(value)
                                               : WholeNumberOf(value, declared.python));
        break;
      case OptionKind::Flag:
        options.set_flag(declared.option, py::cast<bool>(value));
        break;
    }
  }
  return options;
}

// A table's rows as dicts.
py::list RowsOf(const PartsTable& table) {
  py::list rows;
  std::vector<py::str> names;
  for (const std::string& name : table.header) names.emplace_back(name);
  for (const std::vector<std::string>& row : table.rows) {
    py::dict out;
    for (std::size_t k = 0; k < row.size(); ++k) out[names[k]] = py::str(row[k]);
    rows.append(std::move(out));
  }
  return rows;
}

// A file's bytes from any bytes-like object.
std::string BytesOf(const py::buffer& data) {
  const py::buffer_info info = data.request();
  if (info.ndim != 1 || info.itemsize != 1) throw py::type_error("data is bytes");
  return std::string(static_cast<const char*>(info.ptr), static_cast<std::size_t>(info.size));
}

// The notes, then the warnings: each as (whether it is a note, its message),
// for the package to raise as PartsNote or PartsWarning.
py::list MessagesOf(const std::vector<std::string>& notes,
                    const std::vector<PartsWarning>& warnings) {
  py::list messages;
  for (const std::string& note : notes) messages.append(py::make_tuple(true, py::str(note)));
  for (const PartsWarning& warning : warnings)
    messages.append(py::make_tuple(false, py::str(warning.message)));
  return messages;
}

// A parts-list file's bytes, collapsed or expanded, as the bytes of the
// result file and the warnings' messages.
py::tuple ProcessFile(const py::buffer& data, const py::dict& keywords, bool expand) {
  std::string bytes = BytesOf(data);
  PartsOptions options = OptionsOf(keywords);
  options.expand = expand;
  PartsFileResult result;
  {
    py::gil_scoped_release unlocked;
    result = process_parts_file(std::move(bytes), options);
  }
  return py::make_tuple(py::bytes(result.bytes), MessagesOf(result.notes, result.warnings));
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

py::tuple DiffRows(py::handle oldRows, py::handle newRows, const py::dict& keywords) {
  const PartsTable older = TableOf(oldRows), newer = TableOf(newRows);
  const PartsOptions options = OptionsOf(keywords);
  TableCells oldCells, newCells;
  const PartsTableView oldView = oldCells.View(older, "row"), newView = newCells.View(newer, "row");
  PartsDiff diff;
  {
    py::gil_scoped_release unlocked;
    diff = diff_tables(oldView, newView, options);
  }
  return py::make_tuple(RowsOf(diff_table(diff)), MessagesOf(diff.notes, diff.warnings),
                        RowsOf(diff_parts_table(diff)));
}

// `oldName`, `newName`: how messages and the HTML report name the lists
// (empty: "the old list", "the new list").
py::tuple DiffFiles(const py::buffer& oldData, const py::buffer& newData, const py::dict& keywords,
                    const py::str& oldName, const py::str& newName) {
  const PartsOptions options = OptionsOf(keywords);
  std::string older = BytesOf(oldData), newer = BytesOf(newData);
  const PartsDiffNames names{Utf8Of(oldName), Utf8Of(newName)};
  PartsDiffFileResult result;
  {
    py::gil_scoped_release unlocked;
    result = diff_parts_files(std::move(older), std::move(newer), options, names);
  }
  return py::make_tuple(py::bytes(result.bytes),
                        MessagesOf(result.diff.notes, result.diff.warnings));
}

// Rows collapsed or expanded.
py::tuple ProcessRows(py::handle rows, const py::dict& keywords, bool expand) {
  const PartsTable table = TableOf(rows);
  PartsOptions options = OptionsOf(keywords);
  options.expand = expand;
  TableCells cells;
  const PartsTableView view = cells.View(table, "row");
  PartsResult result;
  {
    py::gil_scoped_release unlocked;
    result = process_parts_rows(view, options);
  }
  return py::make_tuple(RowsOf(result.table), MessagesOf(result.notes, result.warnings));
}

// A sequence of (name, data) pairs: the placement files.
std::vector<PlacementFile> PlacementFilesOf(py::handle placements) {
  std::vector<PlacementFile> files;
  for (const py::handle pair : py::iter(placements)) {
    const py::tuple named = py::cast<py::tuple>(pair);
    if (named.size() != 2 || !PyUnicode_Check(named[0].ptr()))
      throw py::type_error("a placement file is a (name, data) pair");
    files.push_back({Utf8Of(named[0]), BytesOf(py::cast<py::buffer>(named[1]))});
  }
  return files;
}

py::list FindingsOf(const VerifyResult& result) {
  py::list findings;
  for (const VerifyFinding& finding : result.findings) {
    py::list places;
    for (const FindingPlace& place : finding.places)
      places.append(py::dict(py::arg("file") = place.file, py::arg("noun") = place.noun,
                             py::arg("lines") = place.lines));
    findings.append(py::dict(py::arg("finding") = finding_name(finding.kind),
                             py::arg("designators") = finding.designators,
                             py::arg("count") = finding.count, py::arg("detail") = finding.detail,
                             py::arg("places") = std::move(places)));
  }
  return findings;
}

// A parts list's bytes checked against its placement files' bytes: the
// findings written in the form asked for.
py::tuple VerifyFiles(const py::buffer& bom, const std::string& bomName, py::handle placements,
                      const py::dict& keywords) {
  const PartsOptions options = OptionsOf(keywords);
  std::string bytes = BytesOf(bom);
  std::vector<PlacementFile> files = PlacementFilesOf(placements);
  std::string written;
  VerifyResult result;
  {
    py::gil_scoped_release unlocked;
    result = verify_parts_files(std::move(bytes), bomName, std::move(files), options);
    written = write_verify_result(result, options);
  }
  return py::make_tuple(py::bytes(written), MessagesOf(result.notes, result.warnings));
}

// Rows checked against placement rows: the findings as dicts.
py::tuple VerifyRows(py::handle bomRows, const std::string& bomName, py::handle placements,
                     const py::dict& keywords) {
  const PartsTable bom = TableOf(bomRows);
  const PartsOptions options = OptionsOf(keywords);
  std::vector<PartsTable> tables;
  std::vector<std::string> names;
  for (const py::handle pair : py::iter(placements)) {
    const py::tuple named = py::cast<py::tuple>(pair);
    if (named.size() != 2 || !PyUnicode_Check(named[0].ptr()))
      throw py::type_error("a placement table is a (name, rows) pair");
    names.push_back(Utf8Of(named[0]));
    tables.push_back(TableOf(named[1]));
  }
  TableCells bomCells;
  std::vector<TableCells> cells(tables.size());
  std::vector<PlacementTable> views;
  for (std::size_t k = 0; k < tables.size(); ++k)
    views.push_back({names[k], cells[k].View(tables[k], "row")});
  const PartsTableView bomView = bomCells.View(bom, "row");
  VerifyResult result;
  {
    py::gil_scoped_release unlocked;
    result = verify_parts_rows(bomView, bomName, views, options);
  }
  return py::make_tuple(FindingsOf(result), MessagesOf(result.notes, result.warnings));
}

// Operands as the package passes them: one str each.
std::vector<std::string> OperandsOf(const std::vector<py::str>& given) {
  std::vector<std::string> texts;
  for (const py::str& text : given) texts.push_back(Utf8Of(text));
  return texts;
}

py::list Combine(int operation, const std::vector<py::str>& operands, int minRun) {
  const std::vector<std::string> texts = OperandsOf(operands);
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  std::vector<std::string> entries;
  {
    py::gil_scoped_release unlocked;
    entries = combine_designators(static_cast<SetOperation>(operation), views, minRun);
  }
  return py::cast(entries);
}

py::tuple Count(const std::vector<py::str>& operands) {
  const std::vector<std::string> texts = OperandsOf(operands);
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  std::vector<DesignatorCount> counts;
  {
    py::gil_scoped_release unlocked;
    counts = count_designators(views);
  }
  py::list numbers, repeated;
  for (const DesignatorCount& count : counts) {
    numbers.append(count.designators);
    repeated.append(count.repeated);
  }
  return py::make_tuple(numbers, repeated);
}

py::list Contains(const py::str& list, const std::vector<py::str>& items) {
  const std::string text = Utf8Of(list);
  const std::vector<std::string> texts = OperandsOf(items);
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  std::vector<bool> answers;
  {
    py::gil_scoped_release unlocked;
    answers = contains_designators(text, views);
  }
  return py::cast(answers);
}

py::list Gaps(const py::str& list, int minRun) {
  const std::string text = Utf8Of(list);
  std::vector<std::string> entries;
  {
    py::gil_scoped_release unlocked;
    entries = designator_gaps(text, minRun);
  }
  return py::cast(entries);
}

// The entries and the warning when fewer numbers were free than asked for.
py::tuple Free(const py::str& list, const py::str& prefix, long long count, int minRun) {
  check_free_count(count, OptionStyle::Python);
  const std::string text = Utf8Of(list), prefixText = Utf8Of(prefix);
  const std::size_t wanted = static_cast<std::size_t>(count);
  FreeDesignators free;
  {
    py::gil_scoped_release unlocked;
    free = free_designators(text, prefixText, wanted, minRun);
  }
  return py::make_tuple(py::cast(free.entries), free_shortfall(prefixText, free.found, wanted));
}

}  // namespace

void AddPartsFunctions(py::module_& module) {
  module.def("_combine", &Combine, py::arg("operation"), py::arg("operands"), py::arg("min_run"));
  module.def("_count", &Count, py::arg("operands"));
  module.def("_contains", &Contains, py::arg("list"), py::arg("items"));
  module.def("_gaps", &Gaps, py::arg("list"), py::arg("min_run"));
  module.def("_free", &Free, py::arg("list"), py::arg("prefix"), py::arg("count"),
             py::arg("min_run"));
  module.def("_verify_files", &VerifyFiles, py::arg("bom"), py::arg("bom_name"),
             py::arg("placements"), py::arg("options"));
  module.def("_verify_rows", &VerifyRows, py::arg("bom"), py::arg("bom_name"),
             py::arg("placements"), py::arg("options"));
  module.def("_process_rows", &ProcessRows, py::arg("rows"), py::arg("options"), py::arg("expand"));
  module.def("_diff_rows", &DiffRows, py::arg("old_rows"), py::arg("new_rows"), py::arg("options"));
  module.def("_diff_files", &DiffFiles, py::arg("old"), py::arg("new"), py::arg("options"),
             py::arg("old_name") = "", py::arg("new_name") = "");
  module.def("_process_file", &ProcessFile, py::arg("data"), py::arg("options"), py::arg("expand"));
}

}  // namespace ztxgrp::python
