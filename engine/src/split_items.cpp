// Reading item and range texts, and range validation.
#include <utility>

#include "internal/item_reader.hpp"
#include "internal/text_slices.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/engine/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

void clsGroup::SplitItem(std::u16string strItem, std::u16string& strPrefix,
                         std::int16_t& intNumber) const {
  intNumber = -1;
  const internal::ItemReading reading = internal::ReadItem<char16_t>(strItem);
  if (reading.prefixKnown) strPrefix.assign(strItem, 0, reading.prefixLength);
  if (!reading.ok) throw RuntimeError(reading.error, std::move(strItem));
  intNumber = reading.number;
}

void clsGroup::SplitRange(std::u16string strRange, std::u16string& strPrefix1,
                          std::int16_t& intStart, std::int16_t& intEnd,
                          std::u16string& strPrefix2) const {
  const auto halves = SplitAtFirstHyphen<char16_t>(strRange);
  if (!halves) Raise(ErrorNumber::InvalidArgument, strRange);
  SplitItem(std::u16string(halves->left), strPrefix1, intStart);
  SplitItem(std::u16string(halves->right), strPrefix2, intEnd);
}

bool clsGroup::CheckRange(std::u16string strRange) const noexcept {
  try {
    const std::u16string_view text = strRange;
    const auto halves = SplitAtFirstHyphen(text);
    if (!halves) {
      const internal::ItemReading item = internal::ReadItem(text);
      return item.ok && item.prefixLength > 0 && item.number >= 0;
    }
    // A range that cannot be read is not valid, whichever half fails.
    const auto [left, right] = *halves;
    const internal::ItemReading first = internal::ReadItem(left);
    if (!first.ok) return false;
    const internal::ItemReading last = internal::ReadItem(right);
    if (!last.ok) return false;
    return left.substr(0, first.prefixLength) == right.substr(0, last.prefixLength) &&
           first.number < last.number;
  } catch (...) {
    // Only exhausted memory can land here; an unreadable text is not valid.
    return false;
  }
}

}  // namespace ztxgrp
