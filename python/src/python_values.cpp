#include "python_values.hpp"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp::python {
namespace py = pybind11;
namespace {

bool IsSurrogate(Py_UCS4 unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

[[noreturn]] void RaiseLoneSurrogate(py::handle text, Py_ssize_t at) {
  PyObject* error = PyObject_CallFunction(PyExc_UnicodeEncodeError, "sOnns", "utf-16", text.ptr(),
                                          at, at + 1, "surrogates not allowed");
  if (error) {
    PyErr_SetObject(PyExc_UnicodeEncodeError, error);
    Py_DECREF(error);
  }
  throw py::error_already_set();
}

Value ElementOf(py::handle item) {
  PyObject* object = item.ptr();
  if (PyUnicode_Check(object)) return Value(TextOf(item));
  if (PyBool_Check(object)) return Value(object == Py_True);
  if (PyLong_Check(object)) {
    int overflow = 0;
    const long long value = PyLong_AsLongLongAndOverflow(object, &overflow);
    if (overflow == 0) {
      if (value == -1 && PyErr_Occurred()) throw py::error_already_set();
      return Value(static_cast<std::int64_t>(value));
    }
    // Its exact digits, by value: a subclass's own __str__ is not asked.
    const py::object digits = py::reinterpret_steal<py::object>(PyLong_Type.tp_repr(object));
    if (!digits) throw py::error_already_set();
    return Value(TextOf(digits));
  }
  if (PyFloat_Check(object)) return Value(PyFloat_AS_DOUBLE(object));
  if (object == Py_None) return Value(Null{});
  return Value(Object{});  // lists, objects: not readable as text (13)
}

}  // namespace

std::u16string TextOf(py::handle text) {
  PyObject* object = text.ptr();
  const Py_ssize_t length = PyUnicode_GET_LENGTH(object);
  const void* data = PyUnicode_DATA(object);
  const int kind = PyUnicode_KIND(object);
  std::u16string out;
  if (kind == PyUnicode_1BYTE_KIND) {
    const auto* units = static_cast<const Py_UCS1*>(data);
    out.assign(units, units + length);
  } else if (kind == PyUnicode_2BYTE_KIND) {
    const auto* units = static_cast<const Py_UCS2*>(data);
    out.assign(units, units + length);
    for (Py_ssize_t k = 0; k < length; ++k)
      if (IsSurrogate(units[k])) RaiseLoneSurrogate(text, k);
  } else {
    const auto* points = static_cast<const Py_UCS4*>(data);
    out.reserve(static_cast<std::size_t>(length));
    for (Py_ssize_t k = 0; k < length; ++k) {
      const Py_UCS4 point = points[k];
      if (IsSurrogate(point)) RaiseLoneSurrogate(text, k);
      if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
      } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
      }
    }
  }
  return out;
}

namespace {

// Appends a str's UTF-8 bytes to `bytes` when it is a str without a lone
// surrogate (that one is read as a value, which reports it); false for any
// other item. An ASCII str's characters are its UTF-8 bytes; any other is
// encoded into a temporary object, so that the caller's str does not keep a
// UTF-8 copy of itself afterwards.
bool AppendUtf8(py::handle item, std::string& bytes) {
  PyObject* object = item.ptr();
  if (!PyUnicode_Check(object)) return false;
  if (PyUnicode_IS_ASCII(object)) {
    bytes.append(static_cast<const char*>(PyUnicode_DATA(object)),
                 static_cast<std::size_t>(PyUnicode_GET_LENGTH(object)));
    return true;
  }
  const py::object encoded = py::reinterpret_steal<py::object>(PyUnicode_AsUTF8String(object));
  if (!encoded) {
    PyErr_Clear();
    return false;
  }
  bytes.append(PyBytes_AS_STRING(encoded.ptr()),
               static_cast<std::size_t>(PyBytes_GET_SIZE(encoded.ptr())));
  return true;
}

}  // namespace

namespace {

// Takes one item: its UTF-8 bytes while every item so far was a str, else
// (from the first other item on) a value.
void TakeItem(py::handle item, Items& read) {
  if (!read.list) {
    if (AppendUtf8(item, read.bytes)) {
      // Offsets are 32-bit: texts of 4 GiB or more in all do not fit.
      if (read.bytes.size() > UINT32_MAX) Raise(ErrorNumber::Overflow);
      read.offsets.push_back(static_cast<std::uint32_t>(read.bytes.size()));
      return;
    }
    read.list = to_item_list(read.texts());  // the texts so far, as values
    read.bytes = {};
    read.offsets = {0};
  }
  read.list->list().elements.push_back(ElementOf(item));
}

}  // namespace

Items ItemsOf(py::handle items, std::size_t maxItems) {
  PyObject* object = items.ptr();
  if (PyUnicode_Check(object) || PyBytes_Check(object) || PyByteArray_Check(object) ||
      PyMemoryView_Check(object))
    throw py::type_error(
        "items must be an iterable of items, not a single str, bytes, bytearray or memoryview");
  Items read;
  if (PyList_Check(object) || PyTuple_Check(object)) {
    // A list or tuple is read by index, without an iterator: nothing run
    // while it is read can change it (no Python code runs, the interpreter
    // lock is held). An item past the limit fails once the items before it
    // are read, as with any other iterable.
    const auto size = std::min(static_cast<std::size_t>(Py_SIZE(object)), maxItems);
    PyObject** elements = PySequence_Fast_ITEMS(object);
    read.offsets.reserve(size + 1);
    // The characters of the strs: the bytes of ASCII texts exactly, so that
    // the buffer is made once.
    std::size_t characters = 0;
    bool ascii = true;
    for (std::size_t k = 0; k < size; ++k) {
      PyObject* element = elements[k];
      if (!PyUnicode_Check(element)) {
        ascii = false;
        continue;
      }
      ascii = ascii && PyUnicode_IS_ASCII(element);
      characters += static_cast<std::size_t>(PyUnicode_GET_LENGTH(element));
    }
    if (ascii && characters <= UINT32_MAX) {
      // Every item an ASCII str, as designators are: their characters are
      // their bytes, copied side by side.
      read.bytes.resize(characters);
      read.offsets.resize(size + 1);
      char* const base = read.bytes.data();
      char* at = base;
      for (std::size_t k = 0; k < size; ++k) {
        at = CopyUnits(at, static_cast<const char*>(PyUnicode_DATA(elements[k])),
                       static_cast<std::size_t>(PyUnicode_GET_LENGTH(elements[k])));
        read.offsets[k + 1] = static_cast<std::uint32_t>(at - base);
      }
    } else {
      read.bytes.reserve(characters);
      for (std::size_t k = 0; k < size; ++k) TakeItem(elements[k], read);
    }
    if (static_cast<std::size_t>(Py_SIZE(object)) > maxItems) Raise(ErrorNumber::Overflow);
    return read;
  }
  std::size_t count = 0;
  for (py::handle item : py::iter(items)) {
    if (count++ == maxItems) Raise(ErrorNumber::Overflow);
    TakeItem(item, read);
  }
  return read;
}

py::list ToPython(const std::vector<std::string>& result) {
  py::list out(result.size());
  for (std::size_t k = 0; k < result.size(); ++k) {
    const std::string& text = result[k];
    const auto size = static_cast<Py_ssize_t>(text.size());
    // ASCII, as most results are, is copied into a str as it is.
    PyObject* item = nullptr;
    if (IsAscii(text)) {
      item = PyUnicode_New(size, 127);
      if (item) std::memcpy(PyUnicode_DATA(item), text.data(), text.size());
    } else {
      item = PyUnicode_DecodeUTF8(text.data(), size, "strict");
    }
    if (!item) throw py::error_already_set();
    PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(k), item);
  }
  return out;
}

namespace {

// A text as a str. Without surrogates the code units are the characters,
// which CPython copies into its narrowest form; pairs are decoded.
PyObject* StrOf(std::u16string_view text) {
  if (std::none_of(text.begin(), text.end(), [](char16_t unit) { return IsSurrogate(unit); }))
    return PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, text.data(),
                                     static_cast<Py_ssize_t>(text.size()));
  int order = std::endian::native == std::endian::little ? -1 : 1;  // as stored here
  return PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                               static_cast<Py_ssize_t>(text.size() * 2), "strict", &order);
}

}  // namespace

py::list ToPython(const Value& result) {
  const auto& elements = result.list().elements;
  py::list out(elements.size());
  for (std::size_t k = 0; k < elements.size(); ++k) {
    PyObject* item = StrOf(elements[k].isText() ? std::u16string_view(elements[k].text())
                                                : std::u16string_view());
    if (!item) throw py::error_already_set();
    PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(k), item);
  }
  return out;
}

long long WholeNumberOf(pybind11::handle number, const char* what) {
  if (!PyLong_Check(number.ptr()) || PyBool_Check(number.ptr()))
    throw pybind11::type_error(std::string(what) + " is an int");
  int overflow = 0;
  const long long value = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
  return overflow > 0 ? LLONG_MAX : overflow < 0 ? LLONG_MIN : value;
}

int MinRunOf(pybind11::handle minRun) {
  return min_run_from(WholeNumberOf(minRun, "min_run"));
}

}  // namespace ztxgrp::python
