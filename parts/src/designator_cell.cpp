#include "designator_cell.hpp"

#include <optional>

#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/engine/entry_text.hpp"
#include "ztxgrp/engine/text_lists.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::internal {
namespace {

constexpr char16_t kEnDash = u'\u2013';
constexpr char16_t kEmDash = u'\u2014';

bool IsLoneDash(std::u16string_view piece) {
  return piece == u"-" || piece == std::u16string_view(&kEnDash, 1);
}

bool IsPlaceholder(std::u16string_view piece) {
  return IsLoneDash(piece) || piece == std::u16string_view(&kEmDash, 1);
}

std::optional<ItemSplit> NumberedReading(std::u16string_view text) {
  try {
    const ItemSplit split = ReadItemSplit(text);
    if (split.intNumber != -1) return split;
  } catch (const RuntimeError&) {
  }
  return std::nullopt;
}

bool WrittenAsIs(std::u16string_view text, const ItemSplit& split) {
  char16_t written[64];
  if (EntryTextRoom(split.strPrefix.size(), false) > std::size(written)) {
    std::u16string longer;
    AppendEntryText(longer, split.strPrefix, split.intNumber, split.intNumber);
    return longer == text;
  }
  const char16_t* end = WriteItemText(written, split.strPrefix, split.intNumber);
  return std::u16string_view(written, static_cast<std::size_t>(end - written)) == text;
}

// A piece with "-" whose halves are numbered items of one prefix.
struct RangeHalves {
  ItemSplit left, right;
  std::u16string_view leftText, rightText;
};
std::optional<RangeHalves> AsRange(std::u16string_view piece) {
  const std::size_t hyphen = piece.find(u'-');
  if (hyphen == std::u16string_view::npos) return std::nullopt;
  RangeHalves range{{}, {}, piece.substr(0, hyphen), piece.substr(hyphen + 1)};
  const auto left = NumberedReading(range.leftText);
  const auto right = NumberedReading(range.rightText);
  if (!left || !right || left->strPrefix != right->strPrefix) return std::nullopt;
  range.left = *left;
  range.right = *right;
  return range;
}

void AddRange(std::u16string_view piece, const RangeHalves& range, std::size_t row,
              std::vector<Designator>& out) {
  if (!WrittenAsIs(range.leftText, range.left) || !WrittenAsIs(range.rightText, range.right))
    throw PartsError("the range " + Quoted(piece) +
                         " would change its designators' texts (leading zeros, signs or "
                         "blanks); write them out one by one",
                     row);
  const Value items = IclsGroup().UngroupItem(piece);  // the engine's errors: 9, 6
  const std::size_t prefixLength = range.left.strPrefix.size();
  std::int16_t number = range.left.intNumber;
  for (const Value& item : items.list().elements)
    out.push_back({item.text(), prefixLength, number++, true, row});
}

void AddSingle(std::u16string_view piece, std::size_t row, std::vector<Designator>& out) {
  const ItemSplit split = ReadItemSplit(piece);  // the engine must be able to order it
  const bool hyphenated = piece.find(u'-') != std::u16string_view::npos;
  out.push_back({std::u16string(piece), split.strPrefix.size(), split.intNumber,
                 !hyphenated && WrittenAsIs(piece, split), row});
}

}  // namespace

void DesignatorCellReader::Read(std::u16string_view cell, std::u16string_view join, std::size_t row,
                                std::vector<Designator>& out) {
  pieces_.clear();
  SplitDesignators(cell, join, pieces_);
  const std::vector<std::u16string_view>& pieces = pieces_;
  if (pieces.size() == 1 && IsPlaceholder(pieces.front())) return;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    std::u16string_view piece = pieces[k];
    std::u16string joined;
    if (k + 2 < pieces.size() && IsLoneDash(pieces[k + 1]) && !IsLoneDash(piece)) {
      // "C1 - C4": a range typed with blanks around its dash.
      joined.append(piece).append(1, u'-').append(pieces[k + 2]);
      const auto range = AsRange(joined);
      if (!range)
        throw PartsError("the dash in " + Quoted(cell) + " joins " + Quoted(piece) + " and " +
                             Quoted(pieces[k + 2]) + ", which form no range",
                         row);
      AddRange(joined, *range, row, out);
      k += 2;
      continue;
    }
    if (IsLoneDash(piece))
      throw PartsError("a lone dash in " + Quoted(cell) + " joins no two designators", row);
    if (const auto range = AsRange(piece))
      AddRange(piece, *range, row, out);
    else
      AddSingle(piece, row, out);
  }
}

}  // namespace ztxgrp::internal
