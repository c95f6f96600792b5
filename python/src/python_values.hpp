// Python values to the engine's values and back. Items are read as the
// engine reads a host's values: str is a text, int an integer (beyond 64
// bits its exact digits), float a real, bool a Boolean, None null, anything
// else a value that cannot be read as text.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::python {

// A str as UTF-16. A lone surrogate raises UnicodeEncodeError with its
// position.
std::u16string TextOf(pybind11::handle text);

// The items of an iterable, read once: as UTF-8 texts while every item is a
// str (the component's UTF-8 functions then build no list of values), and
// as a list of values (lower bound 0) from the first item that is not one.
// Reading stops at the first item past `maxItems`: runtime error 6, as for
// any longer list. A str or bytes object is refused (TypeError): it is one
// item, not a list.
struct Items {
  // Every item, while `list` is empty: its UTF-8 bytes side by side in
  // `bytes`, copied so that they stay as they are while the engine runs
  // without the interpreter lock; text k is bytes[offsets[k], offsets[k+1]).
  std::string bytes;
  std::vector<std::uint32_t> offsets{0};
  std::optional<Value> list;
  PackedTexts<char> texts() const { return {bytes, offsets}; }
};
Items ItemsOf(pybind11::handle items, std::size_t maxItems);

// A Python int of any size as a long long, one beyond its range as the
// nearest one; TypeError naming `what` for anything else (a bool too).
long long WholeNumberOf(pybind11::handle number, const char* what);

// A shortest run given as a Python int of any size (one past the range of
// int means what the nearest int means); TypeError for anything else.
int MinRunOf(pybind11::handle minRun);

// A result list as a Python list of str; an empty element is "".
pybind11::list ToPython(const Value& result);
pybind11::list ToPython(const std::vector<std::string>& result);

}  // namespace ztxgrp::python
