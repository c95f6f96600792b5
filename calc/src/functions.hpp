// The add-in's worksheet functions as Calc's Function Wizard shows them:
// each programmatic name (a method of XDesignators), the name a formula
// uses (prefixed, so that none can clash with Calc's own), a description,
// and each argument's name and description. Data only.
#pragma once

#include <span>
#include <string_view>

namespace ztxgrp::calc {

struct FunctionArgument {
  std::u16string_view name, description;
};

struct FunctionText {
  std::u16string_view programmatic, display, description;
  std::span<const FunctionArgument> arguments;
};

std::span<const FunctionText> Functions() noexcept;

// The function with that programmatic (or, with `byDisplay`, display)
// name, compared without regard to ASCII letter case; null when none.
const FunctionText* FindFunction(std::u16string_view name, bool byDisplay) noexcept;

// The category the functions are listed under.
inline constexpr std::u16string_view kCategory = u"Add-In";

}  // namespace ztxgrp::calc
