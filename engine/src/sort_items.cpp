// Sorting an item list in place.
#include <string>

#include "internal/list_reader.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

void clsGroup::SortItems(Value& list) const {
  ItemList& items = internal::ListOf(list);
  const std::size_t count = items.elements.size();
  if (count < 2) {
    // Nothing is compared, but the pass counters still meet their limits.
    const internal::ListBounds bounds = internal::BoundsOf(items);
    if (count == 1 && (bounds.lower == 32767 || bounds.lower == -32768))
      Raise(ErrorNumber::Overflow);
    return;
  }
  const internal::ListKeys keys = internal::ReadListKeys(items);
  const std::vector<std::uint32_t> order = internal::StableOrder(keys.keys);

  // An element that an exchange sort moves upward at least once is stored
  // as its text: that is every element with a smaller key somewhere after it.
  std::vector<bool> movesUp(count, false);
  std::size_t smallest = count - 1;
  for (std::size_t index = count - 1; index-- > 0;) {
    if (internal::KeyLess(keys.keys[smallest], keys.keys[index])) {
      movesUp[index] = true;
    } else if (internal::KeyLess(keys.keys[index], keys.keys[smallest])) {
      smallest = index;
    }
  }
  std::vector<Value> sorted;
  sorted.reserve(count);
  for (std::uint32_t from : order) {
    if (movesUp[from] && !items.elements[from].isText())
      sorted.emplace_back(std::u16string(keys.texts[from]));
    else
      sorted.push_back(std::move(items.elements[from]));
  }
  items.elements = std::move(sorted);
  // The pass bound steps below -32768 after the last pass.
  if (keys.bounds.lower == -32768) Raise(ErrorNumber::Overflow);
}

}  // namespace ztxgrp
