#include "ztxgrp/engine/text_lists.hpp"

#include "internal/grouping.hpp"
#include "internal/list_reader.hpp"
#include "internal/ungrouping.hpp"
#include "ztxgrp/engine/runtime_error.hpp"
#include "ztxgrp/engine/utf.hpp"

#include <type_traits>

namespace ztxgrp {
namespace {

// Runs `operation` with the reader of the list's texts. UTF-16 texts are
// read as they are. UTF-8 texts are checked as they are read; when the
// operation fails, every text is checked before the failure goes on, so that
// invalid UTF-8 anywhere in the list (EncodingError) is reported before any
// runtime error, as if the list had been checked first.
template <typename Text, typename Operation>
void WithTexts(std::span<const Text> items, Operation&& operation) {
  if constexpr (std::is_same_v<typename Text::value_type, char16_t>) {
    operation([&](std::size_t index) { return std::u16string_view(items[index]); });
  } else {
    try {
      operation([&](std::size_t index) {
        const std::string_view text = items[index];
        if (!IsAscii(text)) CheckUtf8(text);
        return text;
      });
    } catch (const RuntimeError&) {
      for (const Text& text : items) CheckUtf8(text);
      throw;
    }
  }
}

template <typename Text, typename Char = typename Text::value_type>
void GroupList(std::span<const Text> strItems, int intMinRun, BasicResultWriter<Char>& objWriter) {
  CheckMinRun(intMinRun);
  WithTexts(strItems, [&](auto textOf) {
    internal::GroupTexts(internal::BoundsOf(0, strItems.size()), strItems.size(), intMinRun, textOf,
                         objWriter);
  });
}

template <typename Text, typename Char = typename Text::value_type>
void UngroupList(std::span<const Text> strItems, BasicResultWriter<Char>& objWriter) {
  WithTexts(strItems, [&](auto textOf) {
    internal::UngroupTexts(internal::BoundsOf(0, strItems.size()), strItems.size(), textOf,
                           objWriter);
  });
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

void GroupTextList(std::span<const std::string> strItems, int intMinRun,
                   Utf8ResultWriter& objWriter) {
  GroupList(strItems, intMinRun, objWriter);
}

void UngroupTextList(std::span<const std::u16string_view> strItems, ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

void UngroupTextList(std::span<const std::string_view> strItems, Utf8ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

void UngroupTextList(std::span<const std::string> strItems, Utf8ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

ItemSplit ReadItemSplit(std::u16string_view strItem) {
  return ReadSplit(strItem);
}

Utf8ItemSplit ReadItemSplit(std::string_view strItem) {
  return ReadSplit(strItem);
}

}  // namespace ztxgrp
