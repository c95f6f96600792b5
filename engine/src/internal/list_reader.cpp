#include "internal/list_reader.hpp"

#include <utility>

#include "internal/item_reader.hpp"
#include "internal/numeric.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/text.hpp"

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
  ListBounds bounds;
  bounds.lower = CheckedInt16(list.lowerBound);
  bounds.upper = CheckedInt16(list.upperBound());
  return bounds;
}

ItemKey ReadKey(std::u16string_view text) {
  const ItemReading reading = ReadItemOrRaise(text, text);
  return ItemKey{text.substr(0, reading.prefixLength), reading.number};
}

SortedList ReadSortedList(const ItemList& list) {
  SortedList result;
  result.bounds = BoundsOf(list);
  const std::size_t count = list.elements.size();
  if (count == 0) return result;
  if (SortStartOverflows(result.bounds, count)) Raise(ErrorNumber::Overflow);
  if (count == 1 && SortEndOverflows(result.bounds, count)) Raise(ErrorNumber::Overflow);
  result.keys = SortedKeys(count);
  auto read = [&](std::size_t index) {
    const std::u16string_view text = ReadElementText(list.elements[index], result.converted);
    const ItemKey key = ReadKey(text);
    result.keys.Add(static_cast<std::uint32_t>(index), key.prefix, key.number);
  };
  if (count >= 2) read(1);
  read(0);
  for (std::size_t index = 2; index < count; ++index) read(index);
  if (SortPassOverflows(result.bounds, count)) Raise(ErrorNumber::Overflow);
  result.keys.Sort();
  return result;
}

}  // namespace ztxgrp::internal
