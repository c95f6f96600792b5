// The engine's split of a range text at its first hyphen.
#pragma once

#include <optional>
#include <string_view>

namespace ztxgrp {

// A text cut at its first "-": everything before it and everything after
// it; nothing when the text holds no "-".
template <typename Char>
struct HyphenSplit {
  std::basic_string_view<Char> left, right;
};

template <typename Char>
std::optional<HyphenSplit<Char>> SplitAtFirstHyphen(std::basic_string_view<Char> text) noexcept {
  const std::size_t hyphen = text.find(static_cast<Char>('-'));
  if (hyphen == text.npos) return std::nullopt;
  return HyphenSplit<Char>{text.substr(0, hyphen), text.substr(hyphen + 1)};
}

}  // namespace ztxgrp
