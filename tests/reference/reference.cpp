#include "reference.hpp"

#include <vector>

#include "reference_failure.hpp"
#include "reference_text.hpp"

namespace ztxgrp::reference {
namespace {

std::int16_t Inc(std::int16_t value) {
  return Checked16(std::int64_t{value} + 1);
}

std::int16_t Add16(std::int16_t a, std::int64_t b) {
  return Checked16(std::int64_t{a} + b);
}

ItemList& ListOf(Value& value) {
  if (!value.isList()) Fail(13);
  if (!value.list().hasDimension) Fail(9);
  return value.list();
}

Value& At(ItemList& list, std::int64_t index) {
  const std::int64_t offset = index - list.lowerBound;
  if (offset < 0 || offset >= static_cast<std::int64_t>(list.elements.size())) Fail(9);
  return list.elements[static_cast<std::size_t>(offset)];
}

void Redim(ItemList& list, std::int64_t upper) {
  if (upper < list.lowerBound) Fail(9);
  list.elements.resize(static_cast<std::size_t>(upper - list.lowerBound + 1));
}

std::u16string Written(const std::u16string& prefix, std::int16_t number) {
  return number == -1 ? prefix : prefix + DecimalText(number);
}

}  // namespace

void SplitItem(std::u16string strItem, std::u16string& strPrefix, std::int16_t& intNumber) {
  intNumber = -1;
  const bool firstNumeric = IsNumeric(LeftText(strItem, 1));
  const bool lastNumeric = IsNumeric(RightText(strItem, 1));
  if (!lastNumeric || firstNumeric) {
    strPrefix = strItem;
    return;
  }
  const std::int16_t end = Checked16(static_cast<std::int64_t>(strItem.size()));
  std::u16string tailLength;
  for (std::int16_t i = 1; i <= end; i = Inc(i)) {
    if (!IsNumeric(RightText(strItem, i))) {
      tailLength = DecimalText(i - 1);
      break;
    }
  }
  const std::int32_t prefixLength =
      RealToInt32(static_cast<double>(strItem.size()) - TextToReal(tailLength));
  strPrefix = std::u16string(LeftText(strItem, prefixLength));
  intNumber = TextToInt16(RightText(strItem, TextToInt32(tailLength)));
}

void SplitRange(std::u16string strRange, std::u16string& strPrefix1, std::int16_t& intStart,
                std::int16_t& intEnd, std::u16string& strPrefix2) {
  const std::u16string position = DecimalText(static_cast<std::int64_t>(HyphenPosition(strRange)));
  const std::u16string left(LeftText(strRange, RealToInt32(TextToReal(position) - 1)));
  const std::u16string right(RightText(
      strRange, RealToInt32(static_cast<double>(strRange.size()) - TextToReal(position))));
  SplitItem(left, strPrefix1, intStart);
  SplitItem(right, strPrefix2, intEnd);
}

bool CheckRange(std::u16string strRange) {
  std::u16string strPrefix1, strPrefix2;
  std::int16_t intStart = 0, intEnd = 0;
  if (HyphenPosition(strRange) > 0) {
    try {
      SplitRange(strRange, strPrefix1, intStart, intEnd, strPrefix2);
    } catch (const Failure&) {
      return false;
    }
    return strPrefix1 == strPrefix2 && intStart < intEnd;
  }
  try {
    SplitItem(strRange, strPrefix1, intStart);
  } catch (const Failure&) {
  }
  return !strPrefix1.empty() && intStart >= 0;
}

void SortItems(Value& value) {
  ItemList& list = ListOf(value);
  const std::int16_t lb = Checked16(list.lowerBound);
  const std::int16_t ub = Checked16(list.upperBound());
  for (std::int16_t i = ub; i >= lb; i = Add16(i, -1)) {
    for (std::int16_t j = Inc(lb); j <= i; j = Inc(j)) {
      std::u16string p1, p0;
      std::int16_t n1 = 0, n0 = 0;
      SplitItem(ElementText(At(list, j)), p1, n1);
      SplitItem(ElementText(At(list, j - 1)), p0, n0);
      if (p0 > p1 || (p0 == p1 && n0 > n1)) {
        const std::u16string saved = ElementText(At(list, j - 1));
        At(list, j - 1) = At(list, j);
        At(list, j) = saved;
      }
    }
  }
}

Value GroupItems(Value copy) {
  ItemList result;
  result.elements.resize(1);
  std::int32_t n = 0;
  SortItems(copy);
  ItemList& list = copy.list();
  const std::int16_t ub = Checked16(list.upperBound());
  std::int16_t i = Checked16(list.lowerBound);
  while (i <= ub) {
    std::u16string prefix;
    std::int16_t number = 0;
    SplitItem(ElementText(At(list, i)), prefix, number);
    const std::int16_t first = number;
    std::int16_t last = number;
    bool run = false;
    std::int16_t j = i;
    if (first != -1) {
      for (j = i; j <= Add16(ub, -1); j = Inc(j)) {
        std::u16string nextPrefix;
        std::int16_t nextNumber = 0;
        SplitItem(ElementText(At(list, j + 1)), nextPrefix, nextNumber);
        if (last == 32767) break;
        const std::int16_t expected = Inc(last);
        if (nextPrefix != prefix || nextNumber != expected || nextNumber == -1) break;
        run = true;
        last = nextNumber;
      }
    }
    Redim(result, n);
    if (run) {
      At(result, n) = Written(prefix, first) + u"-" + Written(prefix, last);
      i = j;
    } else {
      At(result, n) = Written(prefix, first);
    }
    n = static_cast<std::int32_t>(result.upperBound()) + 1;
    i = Inc(i);
  }
  return result;
}

Value ExpandItem(std::u16string strItem) {
  ItemList result;
  result.elements.resize(1);
  std::int16_t write = 0;
  std::u16string prefix;
  std::int16_t intStart = 0, intEnd = 0;
  if (HyphenPosition(strItem) == 0) {
    std::int16_t number = 0;
    SplitItem(strItem, prefix, number);
    At(result, write) = Written(prefix, number);
    return result;
  }
  if (IsNumeric(LeftText(strItem, 1))) {
    const std::vector<std::u16string_view> pieces = SplitAtHyphen(strItem);
    intStart = TextToInt16(pieces[0]);
    intEnd = TextToInt16(pieces[1]);
  } else {
    std::u16string prefix2;
    SplitRange(strItem, prefix, intStart, intEnd, prefix2);
  }
  const std::int16_t upper = Add16(Add16(intEnd, write), -intStart);
  Redim(result, upper);
  // The number runs on a wider counter so that a range may end at 32767.
  for (std::int32_t n = intStart; n <= intEnd; ++n) {
    At(result, write) = Written(prefix, static_cast<std::int16_t>(n));
    write = Inc(write);
  }
  return result;
}

Value UngroupItems(Value copy) {
  ItemList& list = ListOf(copy);
  Value resultValue{ItemList{}};
  ItemList& result = resultValue.list();
  result.elements.resize(1);
  std::int16_t count = 0;
  const std::int16_t ub = Checked16(list.upperBound());
  for (std::int16_t i = Checked16(list.lowerBound); i <= ub; i = Inc(i)) {
    Value pieces = ExpandItem(ElementText(At(list, i)));
    ItemList& items = pieces.list();
    Redim(result, items.upperBound() + count);
    const std::int16_t piecesUb = Checked16(items.upperBound());
    for (std::int16_t j = 0; j <= piecesUb; j = Inc(j)) {
      At(result, count) = At(items, j);
      count = Inc(count);
    }
    count = Checked16(result.upperBound() + 1);
  }
  SortItems(resultValue);
  return resultValue;
}

}  // namespace ztxgrp::reference
