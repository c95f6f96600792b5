// Folding a sorted item list into ranges.
#include <algorithm>
#include <string>

#include "internal/counters.hpp"
#include "internal/expansion.hpp"
#include "internal/list_reader.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/text.hpp"

namespace ztxgrp {

Value clsGroup::GroupItems(const Value& arrInput, int intMinRun) const {
  if (intMinRun < kSystemMinRun) Raise(ErrorNumber::InvalidArgument);
  const ItemList& items = internal::ListOf(arrInput);
  const internal::SortedList list = internal::ReadSortedList(items);
  const std::size_t count = items.elements.size();
  if (internal::SortEndOverflows(list.bounds, count)) Raise(ErrorNumber::Overflow);
  const internal::SortedKeys& sorted = list.keys;

  ItemList result;
  if (count == 0) {
    result.elements.emplace_back();  // one empty element
    return result;
  }
  result.elements.reserve(std::min<std::size_t>(count, internal::kMaxItems));
  auto write = [&](std::u16string&& entry) {
    if (internal::ItemsOverflow(static_cast<std::int64_t>(result.elements.size()) + 1))
      Raise(ErrorNumber::Overflow);
    result.elements.push_back(Value(std::move(entry)));
  };
  std::size_t at = 0;
  while (at < count) {
    const std::int16_t first = sorted.NumberOf(at);
    std::size_t last = at;
    // A run continues while the key (prefix rank, number) grows by exactly
    // one. An item without a number stands alone and joins no run.
    if (first != -1) {
      while (last + 1 < count && sorted.NextFollows(last) && sorted.NumberOf(last + 1) != -1)
        ++last;
    }
    const std::u16string_view prefix = sorted.PrefixOf(at);
    if (last != at && last - at + 1 >= static_cast<std::size_t>(intMinRun)) {
      std::u16string entry;
      entry.reserve(2 * prefix.size() + 13);
      internal::AppendItemText(entry, prefix, first);
      entry.push_back(u'-');
      internal::AppendItemText(entry, prefix, sorted.NumberOf(last));
      write(std::move(entry));
    } else {
      // A run shorter than the shortest range is written item by item.
      for (std::size_t k = at; k <= last; ++k) {
        std::u16string entry;
        entry.reserve(prefix.size() + 6);
        internal::AppendItemText(entry, prefix, sorted.NumberOf(k));
        write(std::move(entry));
      }
    }
    at = last + 1;
  }
  return result;
}

}  // namespace ztxgrp
