// clsGroup: the item-list engine.
//
// Reads item texts ("R12": prefix R, number 12) and range texts ("R1-R3"),
// validates ranges, sorts item lists by prefix and number, folds runs of
// consecutive numbers into ranges and expands ranges back into items.
// Numbers and counters are 16-bit; every failure is a RuntimeError carrying
// its runtime error number. The worker holds no state: every call stands
// alone, and lists passed in are never changed (except by SortItems).
#pragma once

#include <cstdint>
#include <string>

#include "ztxgrp/value.hpp"

namespace ztxgrp {

class clsGroup {
 public:
  // Cuts an item text into prefix and number (-1: no number). `intNumber` is
  // set to -1 first; on runtime error 6 for a number out of range the prefix
  // has been written already. Errors: 6 (text or number too long), 13 (the
  // whole text reads as a number although its first character does not).
  void SplitItem(std::u16string strItem, std::u16string& strPrefix, std::int16_t& intNumber) const;

  // Cuts a range text at its first "-" and reads both halves with SplitItem,
  // writing strPrefix1 and intStart, then strPrefix2 and intEnd. No "-":
  // runtime error 5 before anything is written.
  void SplitRange(std::u16string strRange, std::u16string& strPrefix1, std::int16_t& intStart,
                  std::int16_t& intEnd, std::u16string& strPrefix2) const;

  // True for a numbered item (number 0 or more) or an ascending range with
  // equal prefixes. Never fails: a text that cannot be read is not valid.
  bool CheckRange(std::u16string strRange) const noexcept;

  // Sorts the list held by `list` in place, stably, by prefix then number,
  // between its own bounds. Elements that move up are stored as text.
  // Errors: 13 (no array), 9 (no dimension), 6 (bounds beyond 16 bits, upper
  // bound 32767, lower bound -32768), any element's reading error.
  void SortItems(Value& list) const;

  // The sorted list with each run of consecutive numbers under one prefix
  // written as one range ("R1-R3"); a run shorter than `intMinRun` items is
  // written item by item (2, the default, folds every run). Result lower
  // bound 0, at most 32767 entries; an empty list gives one empty element.
  // Errors: 5 (intMinRun below 2), those of SortItems, 6 (a 32768th entry).
  Value GroupItems(const Value& arrInput, int intMinRun = kSystemMinRun) const;

  // The single items that one item or range text denotes, ascending. Errors:
  // 9 (range end below its start), 6 (more than 32767 items or numbers out
  // of range), 13 (a plain-number range with a piece that is no number), and
  // those of SplitItem.
  Value ExpandItem(std::u16string strItem) const;

  // Every element expanded, all items collected and sorted. Errors: 13/9/6
  // from the list's bounds, those of ExpandItem for any element, 6 when more
  // than 32767 items are collected.
  Value UngroupItems(const Value& list) const;
};

}  // namespace ztxgrp
