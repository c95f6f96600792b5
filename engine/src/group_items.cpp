// Folding a sorted item list into ranges.
#include <algorithm>
#include <deque>
#include <string>

#include "internal/expansion.hpp"
#include "internal/grouping.hpp"
#include "ztxgrp/engine/cls_group.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

Value clsGroup::GroupItems(const Value& arrInput, int intMinRun) const {
  CheckMinRun(intMinRun);
  const ItemList& items = internal::ListOf(arrInput);
  const std::size_t count = items.elements.size();
  std::deque<std::u16string> converted;  // texts of elements that are no texts
  ItemList result;
  internal::ElementWriter writer{result.elements};
  internal::GroupTexts(
      internal::BoundsOf(items), count, intMinRun,
      [&](std::size_t index) {
        return internal::ReadElementText(items.elements[index], converted);
      },
      writer);
  return result;
}

}  // namespace ztxgrp
