#include <utility>

#include "memory_errors.hpp"
#include "ztxgrp/text.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp {

Value to_item_list(std::span<const std::string> items) {
  ItemList list;
  list.elements.reserve(items.size());
  for (const std::string& item : items) list.elements.emplace_back(Utf8ToUtf16(item));
  return list;
}

std::vector<std::string> to_utf8(const Value& list) {
  std::vector<std::string> out;
  out.reserve(list.list().elements.size());
  for (const Value& element : list.list().elements)
    out.push_back(Utf16ToUtf8(ElementText(element)));
  return out;
}

std::vector<std::string> group(std::span<const std::string> items, int min_run) {
  return internal::WithMemoryErrorsNumbered(
      [&] { return to_utf8(IclsGroup().Group(to_item_list(items), min_run)); });
}

std::vector<std::string> ungroup(std::span<const std::string> items) {
  return internal::WithMemoryErrorsNumbered(
      [&] { return to_utf8(IclsGroup().Ungroup(to_item_list(items))); });
}

std::vector<std::string> ungroup_item(std::string_view item) {
  return internal::WithMemoryErrorsNumbered(
      [&] { return to_utf8(IclsGroup().UngroupItem(Utf8ToUtf16(item))); });
}

bool is_valid_range(std::string_view text) {
  return internal::WithMemoryErrorsNumbered(
      [&] { return IclsGroup().IsValidRange(Utf8ToUtf16(text)); });
}

}  // namespace ztxgrp
