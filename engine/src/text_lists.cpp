#include "ztxgrp/list_texts.hpp"

#include "internal/grouping.hpp"
#include "internal/list_reader.hpp"
#include "internal/ungrouping.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"

#include <stdexcept>
#include <type_traits>
#include <utility>

namespace ztxgrp {
namespace {

// The code unit of a list of texts (a span of strings or views, or packed
// texts).
template <typename Texts>
using CharOfTexts = typename std::remove_cvref_t<decltype(std::declval<Texts>()[0])>::value_type;

// Runs `operation` with the reader of the list's texts. UTF-16 texts are
// read as they are. UTF-8 texts are checked as they are read; when the
// operation fails, every text is checked before the failure goes on, so that
// invalid UTF-8 anywhere in the list (EncodingError) is reported before any
// runtime error, as if the list had been checked first.
template <typename Texts, typename Operation>
void WithTexts(const Texts& items, Operation&& operation) {
  using Char = CharOfTexts<Texts>;
  if constexpr (std::is_same_v<Char, char16_t>) {
    operation([&](std::size_t index) { return std::u16string_view(items[index]); });
  } else {
    try {
      operation([&](std::size_t index) {
        const std::string_view text = items[index];
        if (!IsAscii(text)) CheckUtf8(text);
        return text;
      });
    } catch (const RuntimeError&) {
      for (std::size_t index = 0; index < items.size(); ++index) CheckUtf8(items[index]);
      throw;
    }
  }
}

template <typename Texts, typename Char = CharOfTexts<Texts>>
void GroupList(const Texts& strItems, int intMinRun, BasicResultWriter<Char>& objWriter) {
  CheckMinRun(intMinRun);
  WithTexts(strItems, [&](auto textOf) {
    internal::GroupTexts(internal::BoundsOf(0, strItems.size()), strItems.size(), intMinRun, textOf,
                         objWriter);
  });
}

template <typename Texts, typename Char = CharOfTexts<Texts>>
void UngroupList(const Texts& strItems, BasicResultWriter<Char>& objWriter) {
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

template <typename Char>
PackedTexts<Char>::PackedTexts(std::basic_string_view<Char> units,
                               std::span<const std::uint32_t> offsets)
    : units_(units), offsets_(offsets) {
  for (std::size_t k = 1; k < offsets.size(); ++k)
    if (offsets[k] < offsets[k - 1]) throw std::invalid_argument("text offsets decrease");
  if (!offsets.empty() && offsets.back() > units.size())
    throw std::invalid_argument("text offsets pass the end of the texts");
}

template class PackedTexts<char>;
template class PackedTexts<char16_t>;

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

void GroupTextList(const PackedTexts<char16_t>& strItems, int intMinRun, ResultWriter& objWriter) {
  GroupList(strItems, intMinRun, objWriter);
}

void GroupTextList(const PackedTexts<char>& strItems, int intMinRun, Utf8ResultWriter& objWriter) {
  GroupList(strItems, intMinRun, objWriter);
}

void UngroupTextList(const PackedTexts<char16_t>& strItems, ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

void UngroupTextList(const PackedTexts<char>& strItems, Utf8ResultWriter& objWriter) {
  UngroupList(strItems, objWriter);
}

ItemSplit ReadItemSplit(std::u16string_view strItem) {
  return ReadSplit(strItem);
}

Utf8ItemSplit ReadItemSplit(std::string_view strItem) {
  return ReadSplit(strItem);
}

}  // namespace ztxgrp
