#include <gtest/gtest.h>

#include "examples.hpp"
#include "test_support.hpp"
#include "ztxgrp/engine/cls_group.hpp"

namespace ztxgrp {
namespace {

using testing::ErrorOf;
using testing::List;
using testing::Strings;
using testing::Texts;

std::vector<std::string> Expected(const examples::ListExample& example) {
  return example.expected;
}

Value RunExample(const clsGroup& group, const examples::ListExample& example) {
  switch (example.operation) {
    case examples::Operation::Group:
      return group.GroupItems(Texts(example.input));
    case examples::Operation::Ungroup:
      return group.UngroupItems(Texts(example.input));
    case examples::Operation::UngroupItem:
      return group.ExpandItem(testing::U(example.input.at(0)));
  }
  return {};
}

TEST(WorkedExamplesTest, EveryOperationGivesTheDocumentedResult) {
  clsGroup group;
  for (const auto& example : examples::ListExamples()) {
    SCOPED_TRACE(::testing::PrintToString(example.input));
    Value result;
    EXPECT_EQ(ErrorOf([&] { result = RunExample(group, example); }), example.error);
    if (example.error == 0) {
      EXPECT_EQ(result.list().lowerBound, 0);
      EXPECT_EQ(Strings(result), Expected(example));
    }
  }
}

TEST(GroupItemsTest, WalksTheListFromItsOwnLowerBound) {
  clsGroup group;
  EXPECT_EQ(Strings(group.GroupItems(Texts({"R3", "R1", "R2"}, 1))),
            (std::vector<std::string>{"R1-R3"}));
  EXPECT_EQ(Strings(group.GroupItems(Texts({"R3", "R1", "R2"}, -1))),
            (std::vector<std::string>{"R1-R3"}));
}

TEST(GroupItemsTest, EdgeShapes) {
  const struct {
    const char* name;
    Value input;
    std::vector<std::string> expected;
    int error;
  } cases[] = {
      {"empty list gives one empty element", List({}), {"<empty>"}, 0},
      {"one element is still read", List({Value(u"R40000")}), {}, 6},
      {"numbers are read as text", List({Value(2), Value(1), Value(u"R1")}), {"1", "2", "R1"}, 0},
      {"items without a number stand alone", Texts({"R-1", "R", "R0"}), {"R", "R", "R0"}, 0},
      {"negative numbers form runs", Texts({"R-3", "R-2"}), {"R-3-R-2"}, 0},
      {"minus two does not join minus one", Texts({"R-2", "R-1"}), {"R-2", "R"}, 0},
      {"a run that reaches 32767 ends there",
       Texts({"R32765", "R32766", "R32767", "S1"}),
       {"R32765-R32767", "S1"},
       0},
      {"upper bound 32767 fails", Texts(std::vector<std::string>(32768, "R1")), {}, 6},
      {"no array", Value(u"R1"), {}, 13},
  };
  clsGroup group;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value result;
    EXPECT_EQ(ErrorOf([&] { result = group.GroupItems(c.input); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(Strings(result), c.expected);
    }
  }
}

TEST(GroupItemsTest, LeavesTheCallersListUnchanged) {
  clsGroup group;
  const Value input = List({Value(3), Value(u"R2"), Value(u"R1")});
  const Value copy = input;
  group.GroupItems(input);
  EXPECT_EQ(input, copy);
}

}  // namespace
}  // namespace ztxgrp
