#include "functions.hpp"

namespace ztxgrp::calc {
namespace {

constexpr FunctionArgument kItems{
    u"Items",
    u"A cell range or a text: each cell may hold several designators and ranges, separated by "
    u"commas, semicolons, blanks, line breaks or the join separator"};
constexpr FunctionArgument kJoin{
    u"Join",
    u"Optional: between the entries written (default \", \"); also separates when reading"};
constexpr FunctionArgument kMinRun{
    u"MinRun", u"Optional: the shortest run of consecutive numbers written as a range (default 2)"};
constexpr FunctionArgument kRange{u"Range", u"One designator or range, as R1 or R1-R4"};

constexpr FunctionArgument kGroupArguments[] = {kItems, kJoin, kMinRun};
constexpr FunctionArgument kUngroupArguments[] = {kItems, kJoin};
constexpr FunctionArgument kExpandArguments[] = {kRange, kJoin};
constexpr FunctionArgument kCheckArguments[] = {kRange};
constexpr FunctionArgument kCountArguments[] = {kItems};

constexpr FunctionText kFunctions[] = {
    {u"ztxGroup", u"ZTXGROUP",
     u"Groups the designators of a range or text into ranges (R1-R3, R7), in one text",
     kGroupArguments},
    {u"ztxUngroup", u"ZTXUNGROUP",
     u"Expands the ranges among the designators of a range or text, in one text",
     kUngroupArguments},
    {u"ztxExpand", u"ZTXEXPAND", u"Expands one range to its designators, in one text",
     kExpandArguments},
    {u"ztxCheck", u"ZTXCHECK",
     u"1 (TRUE) when the text is one valid designator or ascending range, else 0 (FALSE)",
     kCheckArguments},
    {u"ztxCount", u"ZTXCOUNT",
     u"The number of designators a range or text holds, its ranges counted in full",
     kCountArguments},
};

bool SameLetters(std::u16string_view a, std::u16string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    const char16_t x = a[k] >= u'a' && a[k] <= u'z' ? a[k] - 32 : a[k];
    const char16_t y = b[k] >= u'a' && b[k] <= u'z' ? b[k] - 32 : b[k];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::span<const FunctionText> Functions() noexcept {
  return kFunctions;
}

const FunctionText* FindFunction(std::u16string_view name, bool byDisplay) noexcept {
  for (const FunctionText& function : kFunctions)
    if (SameLetters(byDisplay ? function.display : function.programmatic, name)) return &function;
  return nullptr;
}

}  // namespace ztxgrp::calc
