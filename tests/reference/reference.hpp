// A literal transcription of the engine's loops, kept only to check the fast
// engine against: the tail-by-tail scan, the exchange sort of neighbours, the
// look-ahead walk and the item-by-item expansion, on 16-bit counters whose
// every step is checked. Quadratic on purpose. It carries the same fault
// mends as the engine: an unreadable range is invalid; lists are walked from
// their own lower bound; items without a number never join runs; a run ends
// at 32767; a range may end at 32767 when it holds at most 32767 items.
#pragma once

#include <cstdint>
#include <string>

#include "ztxgrp/value.hpp"

namespace ztxgrp::reference {

void SplitItem(std::u16string strItem, std::u16string& strPrefix, std::int16_t& intNumber);
void SplitRange(std::u16string strRange, std::u16string& strPrefix1, std::int16_t& intStart,
                std::int16_t& intEnd, std::u16string& strPrefix2);
bool CheckRange(std::u16string strRange);
void SortItems(Value& list);
Value GroupItems(Value list);
Value ExpandItem(std::u16string strItem);
Value UngroupItems(Value list);

}  // namespace ztxgrp::reference
