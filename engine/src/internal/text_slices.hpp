// The engine's split of a range text at its first hyphen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ztxgrp {

// A text cut at its first "-": everything before it and everything after
// it; nothing when the text holds no "-".
struct HyphenSplit {
  std::u16string_view left, right;
};
std::optional<HyphenSplit> SplitAtFirstHyphen(std::u16string_view text) noexcept;

}  // namespace ztxgrp
