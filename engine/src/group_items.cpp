// Folding a sorted item list into ranges.
#include <algorithm>
#include <deque>
#include <string>

#include "internal/expansion.hpp"
#include "internal/grouping.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

Value clsGroup::GroupItems(const Value& arrInput, int intMinRun) const {
  if (intMinRun < kSystemMinRun) Raise(ErrorNumber::InvalidArgument);
  const ItemList& items = internal::ListOf(arrInput);
  const std::size_t count = items.elements.size();
  std::deque<std::u16string> converted;  // texts of elements that are no texts
  ItemList result;
  result.elements.reserve(std::clamp<std::size_t>(count, 1, internal::kMaxItems));
  internal::GroupTexts(
      internal::BoundsOf(items), count, intMinRun,
      [&](std::size_t index) {
        return internal::ReadElementText(items.elements[index], converted);
      },
      [&](const internal::GroupEntry& entry) {
        if (entry.IsRange())
          internal::AppendRange(result.elements, entry.prefix, entry.first, entry.last);
        else
          internal::AppendItem(result.elements, entry.prefix, entry.first);
      });
  if (count == 0) result.elements.emplace_back();  // one empty element
  return result;
}

}  // namespace ztxgrp
