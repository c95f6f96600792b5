// The ztxgrp command, run as a separate process.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "examples.hpp"
#include "process.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::testing {
namespace {

ProcessResult Ztxgrp(const std::vector<std::string>& args, const std::string& input = {}) {
  return RunProcess(CommandUnderTest(), args, input);
}

bool AllUtf8(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    try {
      CheckUtf8(text);
    } catch (const EncodingError&) {
      return false;
    }
  }
  return true;
}

TEST(CliTest, CommandsStatusesAndOutput) {
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;
    std::string errContains;
  } cases[] = {
      {{"group", "R3", "R1", "C2", "R2", "R5"}, "", 0, "C2\nR1-R3\nR5\n", ""},
      {{"group"}, "R3\nR1\r\nC2\nR2\nR5", 0, "C2\nR1-R3\nR5\n", ""},
      {{"group", "-s", "-j", ", ", "R1, R2,R3", "R7"}, "", 0, "R1-R3, R7\n", ""},
      {{"group", "--split"}, "C1 C2\tC3,,R1\n", 0, "C1-C3\nR1\n", ""},
      // Split texts are read as parts-list cells are: "C1 - C4" is a range.
      {{"group", "-s", "C1 - C4, C6"}, "", 0, "C1-C4\nC6\n", ""},
      {{"ungroup", "-s", "-j", " ", "C1 - C4, C6", "R001-R002"},
       "",
       0,
       "C1 C2 C3 C4 C6 R1 R2\n",
       ""},
      {{"group", "-s", "C1 -"}, "", 2, "", "argument 1: a lone dash in \"C1 -\""},
      {{"group", "--min-run", "3", "-j", ",", "R1", "R2", "R5", "R6", "R7"},
       "",
       0,
       "R1,R2,R5-R7\n",
       ""},
      {{"group", "--min-run", "1", "R1"}, "", 3, "", "ztxgrp: given as --min-run 1"},
      {{"group", " R1", "R2"}, "", 0, " R1\nR2\n", ""},  // blanks are kept
      {{"group"}, "", 0, "\n", ""},                      // empty list: one empty element
      {{"ungroup", "C1-C3", "R5"}, "", 0, "C1\nC2\nC3\nR5\n", ""},
      {{"ungroup", "-j", " "}, "8-10\n", 0, "10 8 9\n", ""},
      {{"expand", "R1-R4"}, "", 0, "R1\nR2\nR3\nR4\n", ""},
      {{"expand"}, "R007\n", 0, "R7\n", ""},
      {{"check", "R1-R3", "R12"}, "", 0, "true\ntrue\n", ""},
      {{"check", "R1-R3", "R3-R1"}, "", 1, "true\nfalse\n", ""},
      {{"check", ".5-R3"}, "", 1, "false\n", ""},
      {{"ungroup", "R1", "R3-R1"},
       "",
       3,
       "",
       "ztxgrp: runtime error 9: Subscript out of range\n"
       "ztxgrp: offending item: \"R3-R1\""},
      {{"group", "R1", "R32768"}, "", 3, "", "runtime error 6: Overflow"},
      {{"expand", "1-R3"}, "", 3, "", "runtime error 13: Type mismatch"},
      {{"expand", "R1", "R2"}, "", 2, "", "exactly one TEXT"},
      {{"group", "--nope"}, "", 2, "", "--nope"},
      {{}, "", 2, "", ""},
      {{"group"}, "R1\n\xC3\x28\n", 2, "", "invalid UTF-8 at byte 0 in line 2"},
      {{"group", "R\xE2\x82"}, "", 2, "", "truncated UTF-8"},
      {{"group", "--json"}, "[\"R2\", \"R1\"", 2, "", "malformed JSON"},
      {{"group", "--json"}, "\"R1\"", 2, "", "expected a JSON array"},
      {{"expand", "--json"}, "[\"R1\"]", 2, "", "expected a JSON string"},
      {{"group", "--json", "R1"}, "[]", 2, "", "give no ITEM"},
      {{"group", "--json"},
       "[\"R2\",1,true,2.5,\"R1\"]",
       0,
       "[\"1\",\"2.5\",\"R1-R2\",\"True\"]\n",
       ""},
      {{"group", "--json"}, "[]", 0, "[null]\n", ""},
      // Reals as automation hosts write them; integers keep all their digits.
      {{"group", "--json"},
       "[100000.0,1e-5,1e20,18446744073709551615]",
       0,
       "[\"100000\",\"18446744073709551615\",\"1E+20\",\"1E-05\"]\n",
       ""},
      {{"group", "--json"}, "[\"R1\",null]", 3, "", "runtime error 94: Invalid use of Null"},
      {{"group", "--json"}, "[-1,\"C1\"]", 3, "", "runtime error 13: Type mismatch"},
      {{"group", "--json"}, "[\"R1\",[\"R2\"]]", 3, "", "runtime error 13"},
      {{"group", "--json"}, "[\"R1\",{\"a\":1}]", 3, "", "runtime error 13"},
      {{"check", "--json"}, "\"R1-R3\"", 0, "true\n", ""},
      {{"expand", "--json"},
       "\"\\u00c51-\\u00c53\"",
       0,
       "[\"\xC3\x85"
       "1\",\"\xC3\x85"
       "2\",\"\xC3\x85"
       "3\"]\n",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args) + " <<< " + c.input);
    // Windows hands a program its arguments as UTF-16: bytes that are not
    // UTF-8 never reach it.
    if (CommandIsWindows() && !AllUtf8(c.args)) continue;
    const ProcessResult result = Ztxgrp(c.args, c.input);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
  }
}

TEST(CliTest, HelpAndVersion) {
  const ProcessResult help = Ztxgrp({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Examples:"), std::string::npos);
  const ProcessResult version = Ztxgrp({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("ztxgrp "), std::string::npos);
}

TEST(CliTest, WorkedExamplesThroughJson) {
  for (const auto& example : examples::ListExamples()) {
    SCOPED_TRACE(::testing::PrintToString(example.input));
    const char* command = example.operation == examples::Operation::Group     ? "group"
                          : example.operation == examples::Operation::Ungroup ? "ungroup"
                                                                              : "expand";
    const nlohmann::json input = example.operation == examples::Operation::UngroupItem
                                     ? nlohmann::json(example.input.at(0))
                                     : nlohmann::json(example.input);
    const ProcessResult result = Ztxgrp({command, "--json"}, input.dump());
    if (example.error != 0) {
      EXPECT_EQ(result.status, 3);
      EXPECT_EQ(result.out, "");
      EXPECT_NE(result.err.find("runtime error " + std::to_string(example.error) + ":"),
                std::string::npos);
    } else {
      EXPECT_EQ(result.status, 0) << result.err;
      EXPECT_EQ(nlohmann::json::parse(result.out), nlohmann::json(example.expected));
    }
  }
  for (const auto& example : examples::CheckExamples()) {
    SCOPED_TRACE(example.text);
    const ProcessResult result = Ztxgrp({"check", "--json"}, nlohmann::json(example.text).dump());
    EXPECT_EQ(result.status, example.valid ? 0 : 1);
    EXPECT_EQ(nlohmann::json::parse(result.out), nlohmann::json(example.valid));
  }
}

}  // namespace
}  // namespace ztxgrp::testing
