#include "ztxgrp/value.hpp"

namespace ztxgrp {

ItemList MakeTextList(std::vector<std::u16string> texts, std::int32_t lowerBound) {
  ItemList list;
  list.lowerBound = lowerBound;
  list.elements.reserve(texts.size());
  for (auto& text : texts) list.elements.emplace_back(std::move(text));
  return list;
}

}  // namespace ztxgrp
