// Expanding items and ranges into single items.
#include <deque>
#include <string>

#include "internal/expansion.hpp"
#include "internal/list_reader.hpp"
#include "internal/ungrouping.hpp"
#include "ztxgrp/engine/cls_group.hpp"

namespace ztxgrp {

Value clsGroup::ExpandItem(std::u16string strItem) const {
  const internal::Expansion expansion = internal::ReadExpansion<char16_t>(strItem);
  ItemList result;
  result.elements.reserve(static_cast<std::size_t>(expansion.count));
  for (std::int32_t k = 0; k < expansion.count; ++k)
    internal::AppendEntry(result.elements, expansion.prefix, expansion.start + k,
                          expansion.start + k);
  return result;
}

Value clsGroup::UngroupItems(const Value& list) const {
  const ItemList& items = internal::ListOf(list);
  std::deque<std::u16string> converted;  // texts of elements that are not texts
  ItemList result;
  internal::ElementWriter writer{result.elements};
  internal::UngroupTexts(
      internal::BoundsOf(items), items.elements.size(),
      [&](std::size_t index) {
        return internal::ReadElementText(items.elements[index], converted);
      },
      writer);
  return result;
}

}  // namespace ztxgrp
