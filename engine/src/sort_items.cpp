// Sorting an item list in place.
#include <algorithm>
#include <string>

#include "internal/list_reader.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/engine/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

void clsGroup::SortItems(Value& list) const {
  ItemList& items = internal::ListOf(list);
  const std::size_t count = items.elements.size();
  if (count < 2) {
    // Nothing is compared, but the pass counters still meet their limits.
    const internal::ListBounds bounds = internal::BoundsOf(items);
    if (internal::SortStartOverflows(bounds, count) || internal::SortEndOverflows(bounds, count))
      Raise(ErrorNumber::Overflow);
    return;
  }
  const internal::SortedList reading = internal::ReadSortedList(items);

  // An element that an exchange sort moves upward at least once is stored
  // as its text: that is every element with a smaller key somewhere after it.
  std::vector<std::uint32_t> keyOf(count);
  const internal::SortedKeys<char16_t>& keys = reading.keys;
  for (std::size_t k = 0; k < count; ++k) keyOf[keys.PositionOf(k)] = keys.KeyOf(k);
  std::vector<bool> movesUp(count, false);
  std::uint32_t smallest = keyOf[count - 1];
  for (std::size_t index = count - 1; index-- > 0;) {
    movesUp[index] = smallest < keyOf[index];
    smallest = std::min(smallest, keyOf[index]);
  }
  std::vector<Value> sorted;
  sorted.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint32_t from = keys.PositionOf(k);
    if (movesUp[from] && !items.elements[from].isText())
      sorted.emplace_back(ElementText(items.elements[from]));
    else
      sorted.push_back(std::move(items.elements[from]));
  }
  items.elements = std::move(sorted);
  if (internal::SortEndOverflows(reading.bounds, count)) Raise(ErrorNumber::Overflow);
}

}  // namespace ztxgrp
