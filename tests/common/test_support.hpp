// Helpers shared by the native tests: literals as UTF-16, lists, and the
// check that a call fails with a given runtime error number.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "outcome.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::testing {

inline std::u16string U(std::string_view utf8) {
  return Utf8ToUtf16(utf8);
}
inline std::string A(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

inline Value List(std::initializer_list<Value> elements, std::int32_t lowerBound = 0) {
  ItemList list;
  list.lowerBound = lowerBound;
  list.elements.assign(elements.begin(), elements.end());
  return list;
}

inline Value Texts(const std::vector<std::string>& items, std::int32_t lowerBound = 0) {
  ItemList list;
  list.lowerBound = lowerBound;
  for (const auto& item : items) list.elements.emplace_back(U(item));
  return list;
}

// The elements of a result list as UTF-8; an empty element shows as "<empty>".
inline std::vector<std::string> Strings(const Value& value) {
  std::vector<std::string> out;
  for (const Value& element : value.list().elements)
    out.push_back(element.isEmpty() ? "<empty>" : A(element.text()));
  return out;
}

}  // namespace ztxgrp::testing
