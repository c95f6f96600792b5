// Expanding items and ranges into single items.
#include <deque>
#include <string>

#include "internal/expansion.hpp"
#include "internal/list_reader.hpp"
#include "internal/ungrouping.hpp"
#include "ztxgrp/cls_group.hpp"

namespace ztxgrp {

Value clsGroup::ExpandItem(std::u16string strItem) const {
  const internal::Expansion expansion = internal::ReadExpansion(strItem);
  ItemList result;
  result.elements.reserve(static_cast<std::size_t>(expansion.count));
  for (std::int32_t k = 0; k < expansion.count; ++k)
    internal::AppendItem(result.elements, expansion.prefix, expansion.start + k);
  return result;
}

namespace {

// Ungrouped items as the texts of a list.
struct ListWriter {
  std::vector<Value>& elements;
  void Reserve(std::size_t items) { elements.reserve(items); }
  void Item(std::u16string_view prefix, std::int16_t number) {
    internal::AppendItem(elements, prefix, number);
  }
  void Text(std::u16string_view text) { elements.emplace_back(text); }
};

}  // namespace

Value clsGroup::UngroupItems(const Value& list) const {
  const ItemList& items = internal::ListOf(list);
  std::deque<std::u16string> converted;  // texts of elements that are not texts
  ItemList result;
  ListWriter writer{result.elements};
  const bool any = internal::UngroupTexts(
      internal::BoundsOf(items), items.elements.size(),
      [&](std::size_t index) {
        return internal::ReadElementText(items.elements[index], converted);
      },
      writer);
  if (!any) result.elements.emplace_back();  // one empty element
  return result;
}

}  // namespace ztxgrp
