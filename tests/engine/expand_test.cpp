#include <gtest/gtest.h>

#include "test_support.hpp"
#include "ztxgrp/engine/cls_group.hpp"

namespace ztxgrp {
namespace {

using testing::ErrorOf;
using testing::List;
using testing::Strings;
using testing::Texts;
using testing::U;

TEST(ExpandItemTest, LimitsOfARange) {
  const struct {
    const char* text;
    std::size_t count;
    int error;
  } cases[] = {
      {"R0-R32766", 32767, 0},
      {"R1-R32767", 32767, 0},
      {"1-32767", 32767, 0},
      {"R32767-R32767", 1, 0},
      {"R0-R32767", 0, 6},
      {"R-R32766", 0, 6},
      {"R-R32767", 0, 6},
      {"0-32767", 0, 6},
      {"1-32768", 0, 6},
      {"R1-R", 0, 9},
      {"R1-", 0, 9},
      {"1--3", 0, 13},
      {"1A-3", 0, 13},
      {".5", 0, 13},
      {"R32768", 0, 6},
      {"R1-R40000", 0, 6},
      {"-", 1, 0},
      {"R1-R3", 3, 0},
  };
  clsGroup group;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Value result;
    EXPECT_EQ(ErrorOf([&] { result = group.ExpandItem(U(c.text)); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(result.list().elements.size(), c.count);
    }
  }
  EXPECT_EQ(Strings(group.ExpandItem(u"R1-R32767")).back(), "R32767");
}

TEST(UngroupItemsTest, EdgeShapes) {
  auto many = [](std::size_t count, const char* text) {
    return Texts(std::vector<std::string>(count, text));
  };
  const struct {
    const char* name;
    Value input;
    std::vector<std::string> expected;
    int error;
  } cases[] = {
      {"empty list gives one empty element", List({}), {"<empty>"}, 0},
      {"empty elements give empty texts first",
       List({Value(u"R1"), Value(), Value(u"")}),
       {"", "", "R1"},
       0},
      {"lower bound 1 is walked from 1", Texts({"R3", "R1-R2"}, 1), {"R1", "R2", "R3"}, 0},
      {"negative lower bound keeps every element", Texts({"R3", "R1"}, -1), {"R1", "R3"}, 0},
      {"one range of 32767 items", Texts({"R0-R32766"}), {}, 0},
      {"one item more is too many", Texts({"R0-R32766", "C1"}), {}, 6},
      {"upper bound 32767", Texts(std::vector<std::string>(32767, "R1"), 1), {}, 6},
      {"32767 items from elements", many(32767, "R1"), {}, 0},
      {"null element", List({Value(Null{})}), {}, 94},
      {"numbers expand as text", List({Value(3), Value(u"R1")}), {"3", "R1"}, 0},
      {"rewritten texts sort by their new reading", Texts({"R. 5", "R1"}), {"R.5", "R1"}, 0},
      {"a rewritten text that no longer reads fails", Texts({"+ 5", "R1"}), {}, 13},
      {"a lone rewritten text is not read again", Texts({"+ 5"}), {"+5"}, 0},
  };
  clsGroup group;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value result;
    EXPECT_EQ(ErrorOf([&] { result = group.UngroupItems(c.input); }), c.error);
    if (c.error == 0 && !c.expected.empty()) {
      EXPECT_EQ(Strings(result), c.expected);
    }
  }
}

TEST(UngroupItemsTest, LeavesTheCallersListUnchanged) {
  clsGroup group;
  const Value input = Texts({"R3-R1", "R1"});
  const Value copy = input;
  EXPECT_EQ(ErrorOf([&] { group.UngroupItems(input); }), 9);
  EXPECT_EQ(input, copy);
}

}  // namespace
}  // namespace ztxgrp
