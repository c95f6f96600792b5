#include "ztxgrp/value.hpp"

#include <string>

namespace ztxgrp {

ItemList MakeTextList(std::vector<std::u16string> texts, std::int32_t lowerBound) {
  ItemList list;
  list.lowerBound = lowerBound;
  list.elements.reserve(texts.size());
  for (auto& text : texts) list.elements.emplace_back(std::move(text));
  return list;
}

Value UnsignedValue(std::uint64_t value) {
  if (value <= static_cast<std::uint64_t>(INT64_MAX)) return static_cast<std::int64_t>(value);
  std::u16string digits;
  for (char c : std::to_string(value)) digits.push_back(static_cast<char16_t>(c));
  return digits;
}

}  // namespace ztxgrp
