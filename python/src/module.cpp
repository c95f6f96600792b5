// The Python module ztxgrp._ztxgrp: the four operations of the component on
// Python values. Conversion happens with the interpreter lock held; the
// engine runs without it, so calls from several threads proceed at once
// (the objects share nothing).
#include <pybind11/pybind11.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "python_values.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/failure.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace py = pybind11;

namespace ztxgrp::python {
namespace {

// ztxgrp.Error, created once with the module.
PyObject* errorType = nullptr;

// Raises a failure in Python's idiom: a runtime error as ztxgrp.Error with
// .number, .description, .item and .row; an argument or text that cannot be
// used as ValueError; a fault of ours as RuntimeError. The message is the
// library's.
void SetError(const Failure& failure) {
  if (failure.kind != Failure::Kind::Runtime) {
    PyErr_SetString(failure.kind == Failure::Kind::Internal ? PyExc_RuntimeError : PyExc_ValueError,
                    failure.message.c_str());
    return;
  }
  py::object item = py::none();
  if (failure.item) {
    item = py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF16(
        reinterpret_cast<const char*>(failure.item->data()),
        static_cast<Py_ssize_t>(failure.item->size() * 2), "surrogatepass", nullptr));
    if (!item) throw py::error_already_set();
  }
  py::object instance = py::reinterpret_borrow<py::object>(errorType)(failure.message);
  instance.attr("number") = failure.number;
  instance.attr("description") = failure.description;
  instance.attr("item") = item;
  instance.attr("row") = failure.row != 0 ? py::cast(failure.row) : py::none();
  PyErr_SetObject(errorType, instance.ptr());
}

// Every exception of ours, described once by the library; pybind11's own
// (TypeError, errors already set in Python) go on to its translation.
void TranslateErrors(std::exception_ptr thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const py::builtin_exception&) {
    throw;
  } catch (const py::error_already_set&) {
    throw;
  } catch (...) {
  }
  SetError(describe_failure(thrown));
}

template <typename Call>
auto WithoutLock(Call&& call) {
  py::gil_scoped_release unlocked;
  return call();
}

py::list Group(py::handle items, py::handle minRun) {
  const int min_run = MinRunOf(minRun);
  check_min_run(min_run, OptionStyle::Python);
  const Items read = ItemsOf(items, kMaxListElements);
  if (!read.list)
    return ToPython(WithoutLock([&] { return ztxgrp::group(read.texts(), min_run); }));
  return ToPython(WithoutLock([&] { return IclsGroup().Group(*read.list, min_run); }));
}

py::list Ungroup(py::handle items) {
  const Items read = ItemsOf(items, kMaxListElements);
  if (!read.list) return ToPython(WithoutLock([&] { return ztxgrp::ungroup(read.texts()); }));
  return ToPython(WithoutLock([&] { return IclsGroup().Ungroup(*read.list); }));
}

py::list Expand(const py::str& text) {
  const std::u16string item = TextOf(text);
  return ToPython(WithoutLock([&] { return IclsGroup().UngroupItem(item); }));
}

bool IsValidRange(const py::str& text) {
  const std::u16string item = TextOf(text);
  return WithoutLock([&] { return IclsGroup().IsValidRange(item); });
}

}  // namespace
}  // namespace ztxgrp::python

namespace ztxgrp::python {
void AddPartsFunctions(py::module_& module);
}  // namespace ztxgrp::python

PYBIND11_MODULE(_ztxgrp, module) {
  using namespace ztxgrp::python;
  module.doc() = "Item designators to compact range notation and back (compiled part).";
  errorType = PyErr_NewExceptionWithDoc(
      "ztxgrp.Error",
      "A runtime error of ztxgrp: .number (5, 6, 7, 9, 13, 94), .description and .item, "
      "the text that could not be handled (or None).",
      PyExc_ValueError, nullptr);
  if (!errorType) throw py::error_already_set();
  module.attr("Error") = py::handle(errorType);
  py::register_exception_translator(TranslateErrors);

  AddPartsFunctions(module);
  module.attr("DEFAULT_MIN_RUN") = ztxgrp::kSystemMinRun;
  module.attr("__version__") = ZTXGRP_VERSION;
  module.def("group", &Group, py::arg("items"), py::kw_only(),
             py::arg("min_run") = ztxgrp::kSystemMinRun,
             R"(Sort items by prefix and number and fold runs into ranges.

>>> group(["R3", "R1", "C2", "R2", "R5"])
['C2', 'R1-R3', 'R5']

A run shorter than min_run items is written item by item (3 keeps
"R1, R2" as two items). An empty input gives [""].)");
  module.def("ungroup", &Ungroup, py::arg("items"),
             R"(Expand items and ranges into single items, sorted.

>>> ungroup(["R3", "R1-R2"])
['R1', 'R2', 'R3'])");
  module.def("expand", &Expand, py::arg("text"),
             R"(Expand one item or range text into its items, ascending.

>>> expand("R1-R3")
['R1', 'R2', 'R3'])");
  module.def("is_valid_range", &IsValidRange, py::arg("text"),
             R"(True for a numbered item or an ascending range with equal prefixes.

>>> is_valid_range("R1-R3"), is_valid_range("R3-R1")
(True, False))");
}
