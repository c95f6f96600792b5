#include <gtest/gtest.h>

#include <limits>

#include "internal/number_grammar.hpp"
#include "internal/numeric.hpp"
#include "reference_text.hpp"
#include "test_support.hpp"
#include "ztxgrp/element_text.hpp"

namespace ztxgrp {
namespace {

using testing::ErrorOf;
using testing::U;

TEST(NumericTest, RecognisesTheNumberGrammar) {
  const struct {
    const char* text;
    bool numeric;
  } cases[] = {
      {"0", true},     {"12", true},    {"-5", true},    {"+5", true},    {".5", true},
      {"1.5", true},   {" 5", true},    {"5 ", true},    {"\t5\t", true}, {"1E5", true},
      {"1e-5", true},  {"1.E5", true},  {"1,000", true}, {"1,", true},    {"1,.5", true},
      {"5.", true},    {"", false},     {"R", false},    {"-", false},    {".", false},
      {" ", false},    {"E5", false},   {"R12", false},  {",5", false},   {"- 5", false},
      {"1 5", false},  {"--5", false},  {"1E", false},   {"1E+", false},  {".E5", false},
      {"1.5.", false}, {"0x10", false}, {"(5)", false},  {"5-", false},   {"\u00a05", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsNumeric(U(c.text)), c.numeric);
    EXPECT_EQ(reference::IsNumeric(U(c.text)), c.numeric) << "transcription";
  }
}

// The item reader's backward automaton describes the texts that the forward
// one accepts: for every sequence of up to seven character classes s, s
// followed by a digit is numeric forwards exactly when it is backwards.
TEST(NumericTest, BothAutomataDescribeOneGrammar) {
  using namespace internal::number_grammar;
  std::vector<Class> classes;
  std::size_t checked = 0;
  auto check = [&](auto& self) -> void {
    Forward forward = kStart;
    for (Class c : classes) forward = kForwardNext[forward][c];
    forward = kForwardNext[forward][kDigit];
    Backward backward = kDigits;
    for (auto c = classes.rbegin(); c != classes.rend(); ++c)
      backward = kBackwardNext[backward][*c];
    ASSERT_EQ(kForwardAccepting[forward], kBackwardAccepting[backward]) << checked;
    ++checked;
    if (classes.size() == 7) return;
    for (int c = 0; c < kClassCount; ++c) {
      classes.push_back(static_cast<Class>(c));
      self(self);
      classes.pop_back();
      if (::testing::Test::HasFatalFailure()) return;
    }
  };
  check(check);
  EXPECT_EQ(checked, 960800u);  // 7^0 + ... + 7^7
}

TEST(NumericTest, RoundsHalfToEvenOnTheExactDecimalValue) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"0.5", 0},
      {"1.5", 2},
      {"2.50000000000000000001", 3},
      {"2.4999999999999999999", 2},
      {"32767", 32767},
      {"-32768", -32768},
      {"32767.4", 32767},
      {"-32768.5", -32768},
      {"1,234", 1234},
      {"1E3", 1000},
      {"15E-1", 2},
      {"0E99999", 0},
      {"1E-99999", 0},
      {" 007 ", 7},
      {"-0", 0},
      {".5", 0},
      {".51", 1},
      {"0000000000000000000001", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToInt16(U(c.text)), c.value);
    EXPECT_EQ(reference::TextToInt16(U(c.text)), c.value) << "transcription";
  }
}

TEST(NumericTest, ConversionFailuresCarryTheirNumbers) {
  const struct {
    const char* text;
    int error16;
    int error32;
  } cases[] = {
      {"32768", 6, 0}, {"-32769", 6, 0},         {"32767.5", 6, 0},    {"", 13, 13},
      {"R1", 13, 13},  {"1E999999999999", 6, 6}, {"2147483648", 6, 6}, {"-", 13, 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ErrorOf([&] { TextToInt16(U(c.text)); }), c.error16);
    EXPECT_EQ(ErrorOf([&] { TextToInt32(U(c.text)); }), c.error32);
    EXPECT_EQ(ErrorOf([&] { reference::TextToInt16(U(c.text)); }), c.error16) << "transcription";
    EXPECT_EQ(ErrorOf([&] { reference::TextToInt32(U(c.text)); }), c.error32) << "transcription";
  }
  EXPECT_EQ(ErrorOf([] { TextToReal(u""); }), 13);
  EXPECT_EQ(ErrorOf([] { TextToReal(u"1E400"); }), 6);
  // Too large without an exponent; too small, which reads as zero.
  EXPECT_EQ(ErrorOf([] { TextToReal(U(std::string(400, '9'))); }), 6);
  EXPECT_EQ(TextToReal(U("0." + std::string(400, '0') + "1")), 0.0);
  EXPECT_EQ(TextToReal(u"1000E-400"), 0.0);
  EXPECT_DOUBLE_EQ(TextToReal(u"1,234.5"), 1234.5);
  EXPECT_EQ(TextToReal(u"12.5E-1"), 1.25);
  EXPECT_EQ(TextToReal(u"4.9406564584124654E-324"), 4.9406564584124654E-324);  // subnormal
  EXPECT_EQ(RealToInt32(2.5), 2);
  EXPECT_EQ(RealToInt32(-3.5), -4);
  EXPECT_EQ(ErrorOf([] { RealToInt32(3e9); }), 6);
}

TEST(NumericTest, CheckedArithmeticNeverWraps) {
  EXPECT_EQ(ErrorOf([] { CheckedAdd16(32767, 1); }), 6);
  EXPECT_EQ(ErrorOf([] { CheckedAdd16(-32768, -1); }), 6);
  EXPECT_EQ(CheckedAdd16(32766, 1), 32767);
}

TEST(TextTest, SlicesSearchesAndSplits) {
  using namespace reference;
  EXPECT_EQ(RightText(u"R12", 0), u"");
  EXPECT_EQ(LeftText(u"R1", 10), u"R1");
  EXPECT_EQ(ErrorOf([] { LeftText(u"R1", -1); }), 5);
  EXPECT_EQ(HyphenPosition(u"R1-R3"), 3u);
  EXPECT_EQ(HyphenPosition(u"R1"), 0u);
  EXPECT_EQ(HyphenPosition(u"R1\uFF0DR3"), 0u);  // only U+002D counts
  EXPECT_EQ(SplitAtHyphen(u"1-3-5").size(), 3u);
  EXPECT_EQ(SplitAtHyphen(u"1--3"), (std::vector<std::u16string_view>{u"1", u"", u"3"}));
  EXPECT_TRUE(SplitAtHyphen(u"").empty());
}

TEST(TextTest, ReadsEveryElementKindAsText) {
  const struct {
    Value element;
    const char16_t* text;
    int error;
  } cases[] = {
      {Value(u"R1"), u"R1", 0},
      {Value(), u"", 0},
      {Value(std::int64_t{-12}), u"-12", 0},
      // An integer is its digits, -1 too (not the text of an item without
      // number).
      {Value(std::int64_t{-1}), u"-1", 0},
      {Value(std::int64_t{0}), u"0", 0},
      {Value(std::int64_t{-32768}), u"-32768", 0},
      {Value(std::int64_t{32768}), u"32768", 0},
      {Value(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808", 0},
      // Reals as automation hosts write them: 15 significant digits, plain
      // for decimal exponents -5 < e < 15.
      {Value(1.5), u"1.5", 0},
      {Value(-7.25), u"-7.25", 0},
      {Value(100000.0), u"100000", 0},
      {Value(1e6), u"1000000", 0},
      {Value(123456789012345.0), u"123456789012345", 0},
      {Value(0.0001), u"0.0001", 0},
      {Value(0.1 + 0.2), u"0.3", 0},
      {Value(-0.0), u"0", 0},
      {Value(1e15), u"1E+15", 0},
      {Value(1e20), u"1E+20", 0},
      {Value(1e-5), u"1E-05", 0},
      {Value(1.23456789012346e17), u"1.23456789012346E+17", 0},
      {Value(std::numeric_limits<double>::quiet_NaN()), u"", 13},
      {Value(-std::numeric_limits<double>::infinity()), u"", 13},
      {Value(true), u"True", 0},
      {Value(false), u"False", 0},
      {Value(Null{}), u"", 94},
      {Value(ItemList{}), u"", 13},
      {Value(Object{}), u"", 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::A(c.text));
    std::u16string text;
    EXPECT_EQ(ErrorOf([&] { text = ElementText(c.element); }), c.error);
    std::u16string transcribed;
    EXPECT_EQ(ErrorOf([&] { transcribed = reference::ElementText(c.element); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(text, c.text);
      EXPECT_EQ(transcribed, c.text) << "transcription";
    }
  }
}

}  // namespace
}  // namespace ztxgrp
