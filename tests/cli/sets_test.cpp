// The set commands as a process: the table of operations that every front
// end checks, and the operands given as standard input and as files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "process.hpp"

namespace ztxgrp::testing {
namespace {

const std::filesystem::path kFolder = ZTXGRP_TEST_DATA "/sets";

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Lines(const nlohmann::json& lines) {
  std::string text;
  for (const auto& line : lines) text += line.get<std::string>() + "\n";
  return text;
}

// The flag of the option a failure names, as the option table declares
// it, and ": "; empty when it names none.
std::string OptionNamed(const nlohmann::json& c) {
  if (!c.contains("option")) return "";
  for (const nlohmann::json& row : nlohmann::json::parse(Bytes(ZTXGRP_OPTION_TABLE)))
    if (row["option"] == c["option"]) return row["command"].get<std::string>() + ": ";
  ADD_FAILURE() << "no option " << c["option"];
  return "";
}

TEST(SetsTest, TheCommandGivesWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    std::vector<std::string> args = {c["operation"]};
    const nlohmann::json& o = c["options"];
    if (o.contains("minRun"))
      args.insert(args.end(), {"--min-run", std::to_string(o["minRun"].get<int>())});
    if (o.contains("n")) args.insert(args.end(), {"-n", std::to_string(o["n"].get<int>())});
    args.push_back("--");
    for (const auto& operand : c["operands"]) args.push_back(operand);
    const ProcessResult result = RunProcess(CommandUnderTest(), args);
    EXPECT_EQ(result.status, c["status"].get<int>()) << result.err;
    if (c.contains("result")) {
      EXPECT_EQ(result.out, Lines(c["result"]));
      std::string messages;
      for (const auto& message : c.value("messages", nlohmann::json::array()))
        messages += "ztxgrp: " + message.get<std::string>() + "\n";
      EXPECT_EQ(result.err, messages);
    } else if (c.contains("error")) {
      EXPECT_EQ(result.err, "ztxgrp: " + OptionNamed(c) + c["error"].get<std::string>() + "\n");
    } else {
      EXPECT_EQ(result.err, "ztxgrp: runtime error " + std::to_string(c["number"].get<int>()) +
                                ": Subscript out of range\nztxgrp: offending item: \"" +
                                c["item"].get<std::string>() + "\"\nztxgrp: in operand " +
                                std::to_string(c["operand"].get<int>()) + "\n");
    }
  }
}

// "-" is standard input, read once; "@FILE" a file's text.
TEST(SetsTest, OperandsComeFromStandardInputAndFiles) {
  // A file's text: "@" and its name.
  const std::string named = "@" ZTXGRP_TEST_DATA "/sets/operand.txt";
  const ProcessResult both =
      RunProcess(CommandUnderTest(), {"intersect", "-", named}, "R1-R10, C1\n");
  EXPECT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, "C1\nR5-R10\n");
  const ProcessResult twice = RunProcess(CommandUnderTest(), {"union", "-", "-"}, "R1\n");
  EXPECT_EQ(twice.status, 2);
  const ProcessResult missing =
      RunProcess(CommandUnderTest(), {"union", "R1", "@/nonexistent/list"});
  EXPECT_EQ(missing.status, 2);
  const ProcessResult joined = RunProcess(CommandUnderTest(), {"union", "-j", ", ", "R1-R3", "C1"});
  EXPECT_EQ(joined.out, "C1, R1-R3\n");
}

}  // namespace
}  // namespace ztxgrp::testing
