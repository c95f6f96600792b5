// The component for C++ callers that hold UTF-8 strings.
//
//   std::vector<std::string> parts = {"R3", "R1", "C2", "R2", "R5"};
//   ztxgrp::group(parts);   // {"C2", "R1-R3", "R5"}
//
// Items are taken verbatim (blanks matter). Invalid UTF-8 raises
// EncodingError; the engine's failures raise RuntimeError with their number
// (7 when memory runs out, also while converting).
// An empty element of a result (grouping an empty list) is the empty string.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp {

// Runs shorter than `min_run` items are written item by item (2: every run
// of two or more becomes a range). A `min_run` below 2: RuntimeError 5.
std::vector<std::string> group(std::span<const std::string> items, int min_run = kSystemMinRun);
std::vector<std::string> group(std::span<const std::string_view> items,
                               int min_run = kSystemMinRun);
// Every item and range expanded into single items, sorted.
std::vector<std::string> ungroup(std::span<const std::string> items);
std::vector<std::string> ungroup(std::span<const std::string_view> items);
// The same on texts side by side in one buffer (list_texts.hpp), as a
// binding that copies a host's list holds them.
std::vector<std::string> group(const PackedTexts<char>& items, int min_run = kSystemMinRun);
std::vector<std::string> ungroup(const PackedTexts<char>& items);
// The single items of one item or range text, ascending.
std::vector<std::string> ungroup_item(std::string_view item);
// True for a numbered item or an ascending range with equal prefixes; never fails.
bool is_valid_range(std::string_view text);

// The list value of UTF-8 texts, lower bound 0 (EncodingError for invalid
// UTF-8), and a result list back as UTF-8 (an empty element is ""); from a
// list given up, each element is released once converted.
Value to_item_list(std::span<const std::string> items);
Value to_item_list(std::span<const std::string_view> items);
Value to_item_list(const PackedTexts<char>& items);
std::vector<std::string> to_utf8(const Value& list);
std::vector<std::string> to_utf8(Value&& list);

}  // namespace ztxgrp
