#include <gtest/gtest.h>

#include "examples.hpp"
#include "test_support.hpp"
#include "ztxgrp/engine/cls_group.hpp"

namespace ztxgrp {
namespace {

using testing::A;
using testing::ErrorOf;
using testing::U;

constexpr const char* kBefore = "<before>";

TEST(SplitItemTest, ReadsPrefixAndNumberOrFailsLeavingWhatWasWritten) {
  const struct {
    std::string text;
    std::string prefix;
    int number;
    int error;
  } cases[] = {
      {"R12", "R", 12, 0},
      {"R01", "R", 1, 0},
      {"A1B2", "A1B", 2, 0},
      {"R1E5", "R1E", 5, 0},
      {"R 5", "R", 5, 0},
      {"R-5", "R", -5, 0},
      {"R-1", "R", -1, 0},
      {"R1.5", "R", 2, 0},
      {"R2.5", "R", 2, 0},
      {"R32767", "R", 32767, 0},
      {"R-32768", "R", -32768, 0},
      {"12", "12", -1, 0},
      {"1A2", "1A2", -1, 0},
      {"R", "R", -1, 0},
      {"5", "5", -1, 0},
      {"R12 ", "R12 ", -1, 0},
      {"R1-", "R1-", -1, 0},
      {"R1-R3", "R1-R", 3, 0},
      {"", "", -1, 0},
      {"-5", kBefore, -1, 13},
      {".5", kBefore, -1, 13},
      {"R32768", "R", -1, 6},
      {"R1,000", "R1,", 0, 0},
      {"Re+5", "Re", 5, 0},
      {"R.5", "R", 0, 0},
      {"R0000000000000000001", "R", 1, 0},
      {"R99999999999", "R", -1, 6},
      {"X" + std::string(32767, '1'), kBefore, -1, 6},
      {"-" + std::string(32766, '1'), kBefore, -1, 6},
      {"-" + std::string(32765, '1'), kBefore, -1, 13},
      {"R" + std::string(40000, 'x'), "R" + std::string(40000, 'x'), -1, 0},
  };
  clsGroup group;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    std::u16string prefix = U(kBefore);
    std::int16_t number = 1234;
    EXPECT_EQ(ErrorOf([&] { group.SplitItem(U(c.text), prefix, number); }), c.error);
    EXPECT_EQ(A(prefix), c.prefix);
    EXPECT_EQ(number, c.number);
  }
}

TEST(SplitRangeTest, WritesItsFourValuesInOrder) {
  const struct {
    const char* text;
    const char* prefix1;
    int start;
    int end;
    const char* prefix2;
    int error;
  } cases[] = {
      {"R1-R3", "R", 1, 3, "R", 0},       {"R1-C3", "R", 1, 3, "C", 0},
      {"R1-R3-R5", "R", 1, 5, "R3-R", 0}, {"R1--R3", "R", 1, 3, "-R", 0},
      {"R-R3", "R", -1, 3, "R", 0},       {"R1-3", "R", 1, -1, "3", 0},
      {"-R3", "", -1, 3, "R", 0},         {"R1-", "R", 1, -1, "", 0},
      {"-", "", -1, -1, "", 0},           {"R1", "p1", 7, 8, "p2", 5},
      {"R1--5", "R", 1, -1, "p2", 13},    {"R1-R32768", "R", 1, -1, "R", 6},
      {".5-R3", "p1", -1, 8, "p2", 13},
  };
  clsGroup group;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::u16string prefix1 = u"p1", prefix2 = u"p2";
    std::int16_t start = 7, end = 8;
    EXPECT_EQ(ErrorOf([&] { group.SplitRange(U(c.text), prefix1, start, end, prefix2); }), c.error);
    EXPECT_EQ(A(prefix1), c.prefix1);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(A(prefix2), c.prefix2);
  }
}

TEST(CheckRangeTest, AnswersEveryTextWithoutFailing) {
  clsGroup group;
  for (const auto& c : examples::CheckExamples()) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(group.CheckRange(U(c.text)), c.valid);
  }
  EXPECT_FALSE(group.CheckRange(U("R" + std::string(40000, '1'))));
}

}  // namespace
}  // namespace ztxgrp
