// Reading the command's JSON input without building a document first.
//
// The reader stops as soon as the input can no longer give a usable list, so
// that neither a huge array nor deep nesting costs more than its useful part:
// an array of more elements than any list may hold fails with runtime error 6
// at the first element too many (a list that long fails with 6 before any
// element is read), and an element that is itself an array or an object is
// kept only as a value that cannot be read as text (runtime error 13 when the
// engine reads it); its contents are skipped, at any depth, without recursion.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {

// A JSON array as an item list with lower bound 0: strings are texts,
// integers integers, other numbers reals, true/false Booleans, null is Null.
// InputError when the input is not exactly one JSON array.
Value ReadJsonList(std::streambuf& in, std::size_t maxElements);

// A JSON string as a text. InputError when the input is not exactly one string.
std::u16string ReadJsonText(std::streambuf& in);

}  // namespace ztxgrp::cli
