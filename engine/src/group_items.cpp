// Folding a sorted item list into ranges.
#include <string>

#include "internal/expansion.hpp"
#include "internal/list_reader.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/text.hpp"

namespace ztxgrp {

Value clsGroup::GroupItems(const Value& list) const {
  const ItemList& items = internal::ListOf(list);
  const internal::ListKeys keys = internal::ReadListKeys(items);
  const std::size_t count = items.elements.size();
  if (count > 0 && keys.bounds.lower == -32768) Raise(ErrorNumber::Overflow);
  const std::vector<std::uint32_t> order = internal::StableOrder(keys.keys);

  ItemList result;
  if (count == 0) {
    result.elements.emplace_back();  // one empty element
    return result;
  }
  result.elements.reserve(count);
  std::size_t at = 0;
  while (at < count) {
    const internal::ItemKey& first = keys.keys[order[at]];
    std::size_t last = at;
    // An item without a number stands alone; a run ends at 32767 so the
    // next number is never formed beyond the 16-bit range.
    if (first.number != -1) {
      std::int16_t number = first.number;
      while (last + 1 < count && number != 32767) {
        const internal::ItemKey& next = keys.keys[order[last + 1]];
        if (next.number == -1 || next.number != number + 1 || next.prefix != first.prefix) break;
        number = next.number;
        ++last;
      }
    }
    std::u16string entry;
    if (last == at) {
      entry = internal::ItemText(first.prefix, first.number);
    } else {
      entry.reserve(2 * first.prefix.size() + 12);
      internal::AppendItemText(entry, first.prefix, first.number);
      entry.push_back(u'-');
      internal::AppendItemText(entry, first.prefix, keys.keys[order[last]].number);
    }
    result.elements.emplace_back(std::move(entry));
    at = last + 1;
  }
  return result;
}

}  // namespace ztxgrp
