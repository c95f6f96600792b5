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
constexpr FunctionArgument kFirst{u"A", u"A cell range or a text: the first list of designators"};
constexpr FunctionArgument kSecond{u"B", u"A cell range or a text: the second list of designators"};
constexpr FunctionArgument kPrefix{u"Prefix", u"The prefix of the numbers wanted, as R"};
constexpr FunctionArgument kCount{u"Count", u"Optional: how many free numbers (default 1)"};

constexpr FunctionArgument kGroupArguments[] = {kItems, kJoin, kMinRun};
constexpr FunctionArgument kUngroupArguments[] = {kItems, kJoin};
constexpr FunctionArgument kExpandArguments[] = {kRange, kJoin};
constexpr FunctionArgument kCheckArguments[] = {kRange};
constexpr FunctionArgument kCountArguments[] = {kItems};
constexpr FunctionArgument kSetArguments[] = {kFirst, kSecond, kJoin, kMinRun};
constexpr FunctionArgument kFreeArguments[] = {kItems, kPrefix, kCount, kJoin, kMinRun};

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
    {u"ztxUnion", u"ZTXUNION", u"Every designator of A or B, grouped, in one text", kSetArguments},
    {u"ztxIntersect", u"ZTXINTERSECT", u"The designators in both A and B, grouped, in one text",
     kSetArguments},
    {u"ztxSubtract", u"ZTXSUBTRACT", u"The designators of A that B does not hold, grouped",
     kSetArguments},
    {u"ztxFree", u"ZTXFREE",
     u"The lowest numbers from 1 up that a prefix does not use among the designators, grouped",
     kFreeArguments},
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
