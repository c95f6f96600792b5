#include "ztxgrp/engine/text_lists.hpp"

#include "internal/grouping.hpp"
#include "internal/list_reader.hpp"
#include "internal/ungrouping.hpp"
#include "ztxgrp/engine/runtime_error.hpp"

namespace ztxgrp {
namespace {

template <typename Char>
void GroupList(std::span<const std::basic_string_view<Char>> strItems, int intMinRun,
               BasicResultWriter<Char>& objWriter) {
  CheckMinRun(intMinRun);
  internal::GroupTexts(
      internal::BoundsOf(0, strItems.size()), strItems.size(), intMinRun,
      [&](std::size_t index) { return strItems[index]; }, objWriter);
}

template <typename Char>
void UngroupList(std::span<const std::basic_string_view<Char>> strItems,
                 BasicResultWriter<Char>& objWriter) {
  internal::UngroupTexts(
      internal::BoundsOf(0, strItems.size()), strItems.size(),
      [&](std::size_t index) { return strItems[index]; }, objWriter);
}

template <typename Char>
BasicItemSplit<Char> ReadSplit(std::basic_string_view<Char> strItem) {
  const internal::ItemKey<Char> key = internal::ReadKey(strItem);
  return BasicItemSplit<Char>{key.prefix, key.number};
}

}  // namespace

void CheckMinRun(int intMinRun) {
  if (intMinRun < kSystemMinRun) Raise(ErrorNumber::InvalidArgument);
}

void GroupTextList(std::span<const std::u16string_view> strItems, int intMinRun,
                   ResultWriter& objWriter) {
  GroupList(strItems, intMinRun, objWriter);
}

void GroupTextList(std::span<const std::string_view> strItems, int intMinRun,
                   Utf8ResultWriter& objWriter) {
  GroupList(strItems, intMinRun, objWriter);
}

void UngroupTextList(std::span<const std::u16string_view> strItems, ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

void UngroupTextList(std::span<const std::string_view> strItems, Utf8ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

ItemSplit ReadItemSplit(std::u16string_view strItem) {
  return ReadSplit(strItem);
}

Utf8ItemSplit ReadItemSplit(std::string_view strItem) {
  return ReadSplit(strItem);
}

}  // namespace ztxgrp
