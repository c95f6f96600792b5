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
        std::u16string text;
        text.reserve(entry.IsRange() ? 2 * entry.prefix.size() + 13 : entry.prefix.size() + 6);
        internal::AppendItemText(text, entry.prefix, entry.first);
        if (entry.IsRange()) {
          text.push_back(u'-');
          internal::AppendItemText(text, entry.prefix, entry.last);
        }
        result.elements.emplace_back(std::move(text));
      });
  if (count == 0) result.elements.emplace_back();  // one empty element
  return result;
}

}  // namespace ztxgrp
