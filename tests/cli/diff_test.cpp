// The table of compared parts lists (tests/data/diff) through the library's
// door and through `ztxgrp diff --csv` as a process: the same bytes, notes
// and warnings, or the same refusal; and the forms for people and JSON.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "process.hpp"
#include "ztxgrp/parts_file.hpp"

namespace ztxgrp::testing {
namespace {

const std::filesystem::path kFolder = ZTXGRP_TEST_DATA "/diff";

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> DiffArguments(const nlohmann::json& c) {
  const nlohmann::json& o = c["options"];
  std::vector<std::string> args = {"diff", "--csv"};
  if (o.value("unchanged", false)) args.push_back("--all");
  for (const auto& name : o.value("by", nlohmann::json::array()))
    args.insert(args.end(), {"--by", name.get<std::string>()});
  if (o.contains("join")) args.insert(args.end(), {"-j", o["join"]});
  if (o.contains("minRun"))
    args.insert(args.end(), {"--min-run", std::to_string(o["minRun"].get<int>())});
  args.push_back((kFolder / c["old"].get<std::string>()).string());
  args.push_back((kFolder / c["new"].get<std::string>()).string());
  return args;
}

TEST(DiffTest, LibraryAndCommandWriteWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const nlohmann::json& o = c["options"];
    PartsFileOptions options;
    if (o.contains("by")) options.names.by = o["by"].get<std::vector<std::string>>();
    if (o.contains("join")) options.names.join = o["join"];
    if (o.contains("minRun")) options.names.min_run = o["minRun"];
    const ProcessResult command = RunProcess(CommandUnderTest(), DiffArguments(c));
    try {
      const PartsDiffFileResult result =
          diff_parts_files(Bytes(kFolder / c["old"]), Bytes(kFolder / c["new"]), options,
                           {"--refs", "--qty", "--by"}, o.value("unchanged", false));
      ASSERT_TRUE(c.contains("output")) << "refused nothing";
      EXPECT_EQ(result.bytes, Bytes(kFolder / c["output"]));
      EXPECT_EQ(result.diff.differ(), c["differ"].get<bool>());
      // Notes and warnings name the lists as each front end does: the
      // table holds what they say of the columns and designators.
      ASSERT_EQ(result.diff.notes.size(), c["notes"].size());
      for (std::size_t k = 0; k < result.diff.notes.size(); ++k)
        EXPECT_TRUE(result.diff.notes[k].starts_with(c["notes"][k].get<std::string>()));
      ASSERT_EQ(result.diff.warnings.size(), c["warnings"].size());
      for (std::size_t k = 0; k < result.diff.warnings.size(); ++k)
        EXPECT_NE(result.diff.warnings[k].message.find(c["warnings"][k].get<std::string>()),
                  std::string::npos);
      EXPECT_EQ(command.status, c["differ"].get<bool>() ? 1 : 0) << command.err;
      EXPECT_EQ(command.out, result.bytes);
      for (const auto& message : c["notes"])
        EXPECT_NE(command.err.find("ztxgrp: note: " + message.get<std::string>()),
                  std::string::npos);
    } catch (const std::exception& error) {
      ASSERT_TRUE(c.contains("error")) << error.what();
      EXPECT_NE(std::string(error.what()).find(c["error"].get<std::string>()), std::string::npos)
          << error.what();
      EXPECT_EQ(command.status, c["status"].get<int>());
      EXPECT_EQ(command.out, "");
      EXPECT_NE(command.err.find(c["error"].get<std::string>()), std::string::npos) << command.err;
    }
  }
}

// The forms that only the command writes: for people, and JSON.
TEST(DiffTest, TheCommandWritesForPeopleAndAsJson) {
  const std::string a = (kFolder / "kinds.old.csv").string(),
                    b = (kFolder / "kinds.new.csv").string();
  const ProcessResult people = RunProcess(CommandUnderTest(), {"diff", a, b});
  EXPECT_EQ(people.status, 1);
  EXPECT_EQ(people.out,
            "removed C2 (1): \"Value\" \"1u\"\n"
            "added C3-C4 (2): \"Value\" \"1u\"\n"
            "changed R3-R4 (2): \"Value\" \"10k\" -> \"22k\"\n"
            "1 changed (2 designators), 1 added (2), 1 removed (1)\n");
  const ProcessResult same = RunProcess(CommandUnderTest(), {"diff", a, a});
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "the lists agree\n");
  const ProcessResult json = RunProcess(CommandUnderTest(), {"diff", "--json", a, b});
  EXPECT_EQ(json.status, 1);
  const nlohmann::json document = nlohmann::json::parse(json.out);
  EXPECT_EQ(document["columns"], nlohmann::json({"Value"}));
  EXPECT_EQ(document["changes"][2], nlohmann::json({{"change", "changed"},
                                                    {"designators", "R3-R4"},
                                                    {"count", 2},
                                                    {"old", {{"Value", "10k"}}},
                                                    {"new", {{"Value", "22k"}}}}));
  EXPECT_EQ(RunProcess(CommandUnderTest(), {"diff", "-", "-"}).status, 2);
  EXPECT_EQ(RunProcess(CommandUnderTest(), {"diff", a}).status, 2);
  EXPECT_EQ(RunProcess(CommandUnderTest(), {"diff", "--csv", "--json", a, b}).status, 2);
  EXPECT_EQ(RunProcess(CommandUnderTest(), {"diff", "-", b}, Bytes(a)).out, people.out);
}

}  // namespace
}  // namespace ztxgrp::testing
