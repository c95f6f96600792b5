// ztxgrp verify as a process: the table of verifications that every front
// end checks, with the files named as the command was given them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "process.hpp"

namespace ztxgrp::testing {
namespace {

const std::filesystem::path kFolder = ZTXGRP_TEST_DATA "/verify";

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The output with the folder before each file's name taken out: the table
// names the files as they are named in the folder.
std::string Unfoldered(std::string text) {
  const std::string folder = kFolder.string() + "/";
  for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
    text.erase(at, folder.size());
  return text;
}

std::vector<std::string> VerifyArguments(const nlohmann::json& c) {
  std::vector<std::string> args = {"verify"};
  const nlohmann::json& o = c["options"];
  if (o.contains("placementFormat"))
    args.insert(args.end(), {"--placement-format", o["placementFormat"]});
  for (const auto& pattern : o.value("ignore", nlohmann::json::array()))
    args.insert(args.end(), {"--ignore", pattern.get<std::string>()});
  if (o.contains("maxPerRow"))
    args.insert(args.end(), {"--max-per-row", std::to_string(o["maxPerRow"].get<int>())});
  if (o.contains("format")) args.insert(args.end(), {"--format", o["format"]});
  args.push_back((kFolder / c["bom"].get<std::string>()).string());
  for (const std::string name : c["placements"]) args.push_back((kFolder / name).string());
  return args;
}

TEST(VerifyTest, TheCommandFindsWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const ProcessResult result = RunProcess(CommandUnderTest(), VerifyArguments(c));
    EXPECT_EQ(result.status, c["status"].get<int>()) << result.err;
    if (c.contains("output")) {
      EXPECT_EQ(Unfoldered(result.out), c["output"].get<std::string>());
      for (const auto& note : c.value("notes", nlohmann::json::array()))
        EXPECT_NE(result.err.find("ztxgrp: note: " + note.get<std::string>()), std::string::npos);
    } else {
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(Unfoldered(result.err), "ztxgrp: " + c["error"].get<std::string>() + "\n");
    }
  }
}

// A refused placement file writes nothing, not even an output file.
TEST(VerifyTest, ARefusedFileLeavesNoOutput) {
  const std::filesystem::path output =
      std::filesystem::temp_directory_path() / "ztxgrp-verify-refused.txt";
  std::filesystem::remove(output);
  const ProcessResult result = RunProcess(
      CommandUnderTest(), {"verify", "-o", output.string(), (kFolder / "board.csv").string(),
                           (kFolder / "binary.pos").string()});
  EXPECT_EQ(result.status, 2);
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
}  // namespace ztxgrp::testing
