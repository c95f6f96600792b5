#include "checks.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "internal/numeric.hpp"
#include "outcome.hpp"
#include "reference.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/engine/cls_group.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp::fuzz {
namespace {

using testing::Capture;
using testing::ErrorOf;
using testing::Outcome;

bool KnownError(int number) {
  return number == 0 || number == 5 || number == 6 || number == 9 || number == 13 || number == 94;
}

// Bytes as UTF-16 units; the top eight byte values stand for characters
// whose UTF-8 and UTF-16 orders differ (U+E000..U+FFFF against those beyond
// U+FFFF) and for other multi-byte forms, so that the UTF-8 functions meet them.
std::u16string Text(const std::uint8_t* data, std::size_t size) {
  static const char16_t* const kWide[] = {u"\uE000", u"\uFFFD", u"\U0001F600", u"\U00010000",
                                          u"\uD7FF", u"\u0800", u"\u00E9",     u"\U0010FFFF"};
  std::u16string text;
  for (std::size_t k = 0; k < size; ++k)
    text += data[k] >= 0xF8 ? std::u16string(kWide[data[k] - 0xF8]) : std::u16string(1, data[k]);
  return text;
}

// The error number and item that `call` raised; (0, nothing) when it did not.
template <typename Call>
std::pair<int, std::optional<std::u16string>> FailureOf(Call&& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return {error.number(), error.item()};
  }
  return {0, std::nullopt};
}

Value DecodeList(const std::uint8_t* data, std::size_t size) {
  ItemList list;
  if (size == 0) return list;
  list.lowerBound = static_cast<int>(data[0] % 5) - 2;
  std::size_t start = 1;
  while (start <= size) {
    std::size_t end = start;
    while (end < size && data[end] != '\n') ++end;
    const std::u16string piece = Text(data + start, end - start);
    if (piece == u"\x01") {
      list.elements.emplace_back();
    } else if (piece == u"\x02") {
      list.elements.emplace_back(Null{});
    } else if (!piece.empty() && piece[0] == 3) {
      // An integer, negative when a '-' follows the marker.
      const bool negative = piece.size() > 1 && piece[1] == u'-';
      std::int64_t number = 0;
      for (char16_t c : piece.substr(negative ? 2 : 1)) number = (number * 10 + (c % 10)) % 100000;
      list.elements.emplace_back(negative ? -number : number);
    } else if (!piece.empty() && piece[0] == 4) {
      list.elements.emplace_back(piece.size() % 2 == 0);
    } else if (!piece.empty() && piece[0] == 5) {
      // A real: the bytes after the marker as a mantissa and a power of ten,
      // NaN and infinity included.
      double mantissa = 0;
      for (char16_t c : piece.substr(1)) mantissa = mantissa * 7 + (c % 7) - 3;
      const int exponent = static_cast<int>(piece.size() * 5 % 41) - 20;
      list.elements.emplace_back(piece.size() == 2 && piece[1] == u'n'
                                     ? std::nan("")
                                     : mantissa * std::pow(10.0, exponent));
    } else {
      list.elements.emplace_back(piece);
    }
    start = end + 1;
  }
  return list;
}

bool PlainDesignator(const Value& element) {
  if (!element.isText()) return false;
  const std::u16string& text = element.text();
  std::size_t k = 0;
  while (k < text.size() && text[k] >= u'A' && text[k] <= u'Z') ++k;
  if (k == 0 || k == text.size() || text.size() - k > 4 || text[k] == u'0') return false;
  for (std::size_t d = k; d < text.size(); ++d)
    if (!IsDigit(text[d])) return false;
  return true;
}

}  // namespace

std::string CheckText(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = Text(data, size);
  const clsGroup group;
  std::u16string fastPrefix = u"?", slowPrefix = u"?";
  std::int16_t fastNumber = 7, slowNumber = 7;
  if (ErrorOf([&] { group.SplitItem(text, fastPrefix, fastNumber); }) !=
          ErrorOf([&] { reference::SplitItem(text, slowPrefix, slowNumber); }) ||
      fastPrefix != slowPrefix || fastNumber != slowNumber)
    return "SplitItem differs from the transcription";

  std::u16string fast1 = u"?", fast2 = u"?", slow1 = u"?", slow2 = u"?";
  std::int16_t fastStart = 1, fastEnd = 2, slowStart = 1, slowEnd = 2;
  if (ErrorOf([&] { group.SplitRange(text, fast1, fastStart, fastEnd, fast2); }) !=
          ErrorOf([&] { reference::SplitRange(text, slow1, slowStart, slowEnd, slow2); }) ||
      std::tie(fast1, fastStart, fastEnd, fast2) != std::tie(slow1, slowStart, slowEnd, slow2))
    return "SplitRange differs from the transcription";

  if (group.CheckRange(text) != reference::CheckRange(text))
    return "CheckRange differs from the transcription";
  const Outcome fast = Capture([&] { return group.ExpandItem(text); });
  if (!KnownError(fast.error)) return "ExpandItem raised an unexpected error";
  if (fast != Capture([&] { return reference::ExpandItem(text); }))
    return "ExpandItem differs from the transcription";
  return {};
}

std::string CheckList(const std::uint8_t* data, std::size_t size) {
  const Value list = DecodeList(data, size);
  const clsGroup group;
  const Outcome grouped = Capture([&] { return group.GroupItems(list); });
  const Outcome ungrouped = Capture([&] { return group.UngroupItems(list); });
  if (!KnownError(grouped.error) || !KnownError(ungrouped.error))
    return "a list operation raised an unexpected error";

  const std::size_t count = list.list().elements.size();
  if (count <= 64) {
    if (grouped != Capture([&] { return reference::GroupItems(list); }))
      return "GroupItems differs from the transcription";
    const bool shortExpansion =
        ungrouped.error != 0 || ungrouped.value.list().elements.size() <= 256;
    if (shortExpansion && ungrouped != Capture([&] { return reference::UngroupItems(list); }))
      return "UngroupItems differs from the transcription";
  }

  // The UTF-8 functions work on the texts themselves, with the same outcomes.
  bool texts = list.list().lowerBound == 0;
  for (const Value& element : list.list().elements) texts = texts && element.isText();
  if (texts) {
    std::vector<std::string> items;
    for (const Value& element : list.list().elements) items.push_back(Utf16ToUtf8(element.text()));
    std::vector<std::string> direct;
    if (FailureOf([&] { direct = ztxgrp::group(items); }) !=
            FailureOf([&] { group.GroupItems(list); }) ||
        (grouped.error == 0 && direct != to_utf8(grouped.value)))
      return "grouping UTF-8 texts differs from grouping the list";
    if (FailureOf([&] { direct = ztxgrp::ungroup(items); }) !=
            FailureOf([&] { group.UngroupItems(list); }) ||
        (ungrouped.error == 0 && direct != to_utf8(ungrouped.value)))
      return "ungrouping UTF-8 texts differs from ungrouping the list";
  }

  bool plain = count > 0;
  for (const Value& element : list.list().elements) plain = plain && PlainDesignator(element);
  if (plain) {
    if (grouped.error != 0 || ungrouped.error != 0) return "plain designators failed";
    const Outcome back = Capture([&] { return group.UngroupItems(grouped.value); });
    if (back != ungrouped) return "ungrouping the grouped list lost or changed items";
  }
  return {};
}

void AbortOnProblem(const std::string& problem) {
  if (problem.empty()) return;
  std::fprintf(stderr, "%s\n", problem.c_str());
  std::abort();
}

std::string LayerFailure(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const RuntimeError& error) {
    if (!IsEngineError(error.number()))
      return "runtime error " + std::to_string(error.number()) + " is not the engine's";
  } catch (const PartsError&) {
  } catch (const EncodingError&) {
  }
  return "";
}

bool IsEngineError(int number) {
  return number == 5 || number == 6 || number == 7 || number == 9 || number == 13 || number == 94;
}

}  // namespace ztxgrp::fuzz
