#include "ztxgrp/engine/text_lists.hpp"

#include "internal/grouping.hpp"
#include "internal/list_reader.hpp"
#include "internal/ungrouping.hpp"
#include "ztxgrp/engine/runtime_error.hpp"

namespace ztxgrp {

void CheckMinRun(int intMinRun) {
  if (intMinRun < kSystemMinRun) Raise(ErrorNumber::InvalidArgument);
}

void GroupTextList(std::span<const std::u16string_view> strItems, int intMinRun,
                   ResultWriter& objWriter) {
  CheckMinRun(intMinRun);
  internal::GroupTexts(
      internal::BoundsOf(0, strItems.size()), strItems.size(), intMinRun,
      [&](std::size_t index) { return strItems[index]; }, objWriter);
}

void UngroupTextList(std::span<const std::u16string_view> strItems, ResultWriter& objWriter) {
  internal::UngroupTexts(
      internal::BoundsOf(0, strItems.size()), strItems.size(),
      [&](std::size_t index) { return strItems[index]; }, objWriter);
}

ItemSplit ReadItemSplit(std::u16string_view strItem) {
  const internal::ItemKey key = internal::ReadKey(strItem);
  return ItemSplit{key.prefix, key.number};
}

}  // namespace ztxgrp
