// Python values to the engine's values and back. Items are read as the
// engine reads a host's values: str is a text, int an integer (beyond 64
// bits its exact digits), float a real, bool a Boolean, None null, anything
// else a value that cannot be read as text.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>

#include "ztxgrp/value.hpp"

namespace ztxgrp::python {

// A str as UTF-16. A lone surrogate raises UnicodeEncodeError with its
// position.
std::u16string TextOf(pybind11::handle text);

// The items of an iterable as a list with lower bound 0. Reading stops at the
// first item past `maxItems`: runtime error 6, as for any longer list. A str
// or bytes object is refused (TypeError): it is one item, not a list.
Value ListOf(pybind11::handle items, std::size_t maxItems);

// A result list as a Python list of str; an empty element is "".
pybind11::list ToPython(const Value& result);

}  // namespace ztxgrp::python
