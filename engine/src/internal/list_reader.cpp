#include "internal/list_reader.hpp"

#include <utility>

#include "internal/item_reader.hpp"
#include "internal/numeric.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp::internal {
std::u16string_view ReadElementText(const Value& element, std::deque<std::u16string>& converted) {
  if (element.isText()) return element.text();
  std::u16string scratch;
  const std::u16string_view text = ElementText(element, scratch);
  if (text.data() != scratch.data()) return text;  // a constant ("True", ...)
  return converted.emplace_back(std::move(scratch));
}

const ItemList& ListOf(const Value& value) {
  if (!value.isList()) Raise(ErrorNumber::TypeMismatch);
  const ItemList& list = value.list();
  if (!list.hasDimension) Raise(ErrorNumber::SubscriptOutOfRange);
  return list;
}

ItemList& ListOf(Value& value) {
  return const_cast<ItemList&>(ListOf(std::as_const(value)));
}

ListBounds BoundsOf(const ItemList& list) {
  return BoundsOf(list.lowerBound, list.elements.size());
}

ListBounds BoundsOf(std::int64_t lower, std::size_t count) {
  ListBounds bounds;
  bounds.lower = CheckedInt16(lower);
  bounds.upper = CheckedInt16(lower + static_cast<std::int64_t>(count) - 1);
  return bounds;
}

SortedList ReadSortedList(const ItemList& list) {
  SortedList result;
  result.bounds = BoundsOf(list);
  result.keys = ReadKeys(result.bounds, list.elements.size(), [&](std::size_t index) {
    return ReadElementText(list.elements[index], result.converted);
  });
  result.keys.Sort();
  return result;
}

}  // namespace ztxgrp::internal
