// Folding a sorted item list into ranges.
#include <algorithm>
#include <string>

#include "internal/expansion.hpp"
#include "internal/list_reader.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/text.hpp"

namespace ztxgrp {
namespace {

constexpr std::size_t kMaxEntries = 32767;

}  // namespace

Value clsGroup::GroupItems(const Value& arrInput) const {
  const ItemList& items = internal::ListOf(arrInput);
  const internal::SortedList list = internal::ReadSortedList(items);
  const std::size_t count = items.elements.size();
  if (count > 0 && list.bounds.lower == -32768) Raise(ErrorNumber::Overflow);
  const std::vector<std::uint64_t>& sorted = list.sorted;

  ItemList result;
  if (count == 0) {
    result.elements.emplace_back();  // one empty element
    return result;
  }
  result.elements.reserve(std::min(count, kMaxEntries));
  std::size_t at = 0;
  while (at < count) {
    // The write index is a 16-bit counter: it steps past 32767 after the
    // 32767th entry is written, so a 32768th entry is an overflow.
    if (result.elements.size() == kMaxEntries) Raise(ErrorNumber::Overflow);
    const std::int16_t first = internal::NumberOf(sorted[at]);
    std::size_t last = at;
    // A run continues while the packed key (prefix rank, number) grows by
    // exactly one. An item without a number stands alone, and a run ends at
    // 32767, where one more would be the next prefix's -32768.
    if (first != -1) {
      while (last + 1 < count && internal::NumberOf(sorted[last]) != 32767 &&
             internal::KeyOf(sorted[last + 1]) == internal::KeyOf(sorted[last]) + 1 &&
             internal::NumberOf(sorted[last + 1]) != -1)
        ++last;
    }
    const std::u16string_view prefix = list.prefixOfRank[internal::KeyOf(sorted[at]) >> 16];
    std::u16string entry;
    entry.reserve(last == at ? prefix.size() + 6 : 2 * prefix.size() + 13);
    internal::AppendItemText(entry, prefix, first);
    if (last != at) {
      entry.push_back(u'-');
      internal::AppendItemText(entry, prefix, internal::NumberOf(sorted[last]));
    }
    result.elements.push_back(Value(std::move(entry)));
    at = last + 1;
  }
  return result;
}

}  // namespace ztxgrp
