// How messages show a user's text, the same in every front end: in double
// quotes, with `"`, `\` and control characters escaped as in JSON and an
// unpaired surrogate as \uD800; cut after 64 code units, with the text's
// length in characters then, so that a long item cannot flood a message.
#pragma once

#include <string>
#include <string_view>

namespace ztxgrp {

std::string Quoted(std::u16string_view text);
// A UTF-8 text; bytes that are not UTF-8 are shown as \xNN.
std::string Quoted(std::string_view text);
// A UTF-8 text whole, escaped as Quoted escapes it, never cut: for output
// that shows a user's cells on one line.
std::string QuotedWhole(std::string_view text);

}  // namespace ztxgrp
