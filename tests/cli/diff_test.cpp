// The table of compared parts lists (tests/data/diff) through `ztxgrp diff
// --csv` as a process: the bytes, notes and status the table holds, or its
// refusal (the library's own test reads the same table); and the forms for
// people and JSON.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>

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
  for (const auto& name : o.value("parts", nlohmann::json::array()))
    args.insert(args.end(), {"--parts", name.get<std::string>()});
  if (o.contains("boards"))
    args.insert(args.end(), {"--boards", std::to_string(o["boards"].get<int>())});
  args.push_back((kFolder / c["old"].get<std::string>()).string());
  args.push_back((kFolder / c["new"].get<std::string>()).string());
  return args;
}

TEST(DiffTest, TheCommandWritesWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const ProcessResult command = RunProcess(CommandUnderTest(), DiffArguments(c));
    if (c.contains("output")) {
      EXPECT_EQ(command.status, c["differ"].get<bool>() ? 1 : 0) << command.err;
      EXPECT_EQ(command.out, Bytes(kFolder / c["output"]));
      for (const auto& message : c["notes"])
        EXPECT_NE(command.err.find("ztxgrp: note: " + message.get<std::string>()),
                  std::string::npos);
    } else {
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

// The output's form follows the words: the form named (--format, --csv,
// --json), else the output file's name, else the text for people; words
// that disagree are a usage error, and bom writes no comparison's forms.
TEST(DiffTest, TheOutputFormFollowsTheWords) {
  const std::string a = (kFolder / "kinds.old.csv").string(),
                    b = (kFolder / "kinds.new.csv").string();
  const std::string people = "removed C2 (1): \"Value\" \"1u\"\n";
  const std::string table = "Change,Ref,Count,Value (old),Value (new)\n";
  const std::string json = "{\"columns\":[\"Value\"]";
  const std::string html = "<!DOCTYPE html>\n";
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("ztxgrp-forms-" + std::to_string(std::random_device()()));
  std::filesystem::create_directories(folder);
  const struct {
    std::vector<std::string> words;
    std::string output;  // the output file's name; empty: standard output
    int status;
    std::string starts;  // what the output starts with
  } cases[] = {
      {{}, "", 1, people},
      {{"--csv"}, "", 1, table},
      {{"--json"}, "", 1, json},
      {{"--format", "csv"}, "", 1, table},
      {{"--format", "json"}, "", 1, json},
      {{"--format", "text"}, "", 1, people},
      {{"--csv", "--format", "csv"}, "", 1, table},
      {{}, "changes.csv", 1, table},
      {{}, "changes.JSON", 1, json},
      {{}, "changes.txt", 1, people},
      {{"--format", "text"}, "changes.csv", 1, people},
      {{"--csv", "--format", "json"}, "", 2, ""},
      {{"--json", "--format", "xlsx"}, "", 2, ""},
      {{"--format", "html"}, "", 1, html},
      {{"--html"}, "", 1, html},
      {{}, "report.html", 1, html},
      {{}, "report.HTM", 1, html},
      {{"--csv"}, "report.html", 1, table},
      {{"--html", "--json"}, "", 2, ""},
      {{"--html", "--format", "csv"}, "", 2, ""},
      {{"--format", "pdf"}, "", 2, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"diff"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    const std::filesystem::path output = folder / c.output;
    if (!c.output.empty()) args.insert(args.end(), {"-o", output.string()});
    args.insert(args.end(), {a, b});
    SCOPED_TRACE(::testing::PrintToString(args));
    const ProcessResult done = RunProcess(CommandUnderTest(), args);
    EXPECT_EQ(done.status, c.status) << done.err;
    const std::string written = c.output.empty() ? done.out : Bytes(output);
    EXPECT_TRUE(written.starts_with(c.starts)) << written;
  }
  std::filesystem::remove_all(folder);
  const ProcessResult bom = RunProcess(CommandUnderTest(), {"bom", "--format", "json", a});
  EXPECT_EQ(bom.status, 2);
  EXPECT_NE(bom.err.find("--format: a parts list is written as csv, xlsx or ods, not json"),
            std::string::npos);
}

// The text for people: each cell whole and on one line, a row without
// designators named by the cells it was matched by, lines of any length.
TEST(DiffTest, TheTextForPeopleShowsWholeCellsAndNamesEveryLine) {
  const struct {
    std::string name;
    std::vector<std::string> options;
    std::string out;
  } cases[] = {
      {"long-cells",
       {},
       "changed U1 (1): \"Description\" \"Microcontroller, 32-bit ARM Cortex-M4, 512 KB flash, "
       "128 KB RAM, LQFP-64 \\\"A\\\"\" -> \"Microcontroller, 32-bit ARM Cortex-M4, 512 KB "
       "flash, 128 KB RAM, LQFP-64 \\\"B\\\"\"\n1 changed (1 designator)\n"},
      {"rows-without-designators",
       {},
       "changed (a row without designators: \"Value\" \"PCB\"): \"Qty\" \"4\" -> \"6\"\n"
       "removed (a row without designators): \"Value\" \"Spacer\", \"Qty\" \"2\"\n"
       "added (a row without designators): \"Value\" \"Screw M3\", \"Qty\" \"8\"\n"
       "1 changed (0 designators), 1 added (0), 1 removed (0)\n"},
      {"rows-without-designators",
       {"--all", "--by", "Value"},
       "unchanged R1 (1)\n"
       "changed (a row without designators: \"Value\" \"PCB\"): \"Qty\" \"4\" -> \"6\"\n"
       "removed (a row without designators): \"Value\" \"Spacer\", \"Qty\" \"2\"\n"
       "added (a row without designators): \"Value\" \"Screw M3\", \"Qty\" \"8\"\n"
       "1 changed (0 designators), 1 added (0), 1 removed (0), 1 unchanged (1)\n"},
      {"same-name-columns",
       {},
       "changed R1 (1): \"Note (column 4)\" \"b\" -> \"x\"\n1 changed (1 designator)\n"},
      {"long-line",
       {},
       "changed C1-C100, R1-R32667 (32767): \"Value\" \"10k\" -> \"22k\"\n"
       "changed R32668-R32767 (100): \"Value\" \"10k\" -> \"22k\"\n"
       "2 changed (32867 designators)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"diff"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back((kFolder / (c.name + ".old.csv")).string());
    args.push_back((kFolder / (c.name + ".new.csv")).string());
    const ProcessResult result = RunProcess(CommandUnderTest(), args);
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.out, c.out);
  }
  // Unchanged rows without designators under --all are named too, and JSON
  // keys of same-named columns do not repeat.
  const std::string same = (kFolder / "rows-without-designators.old.csv").string();
  EXPECT_EQ(RunProcess(CommandUnderTest(), {"diff", "--all", same, same}).out,
            "unchanged R1 (1)\n"
            "unchanged (a row without designators: \"Value\" \"PCB\")\n"
            "unchanged (a row without designators: \"Value\" \"Spacer\")\n"
            "the lists agree: 3 unchanged (1 designator)\n");
  const ProcessResult json = RunProcess(
      CommandUnderTest(), {"diff", "--json", (kFolder / "same-name-columns.old.csv").string(),
                           (kFolder / "same-name-columns.new.csv").string()});
  EXPECT_EQ(nlohmann::json::parse(json.out)["columns"],
            nlohmann::json({"Value", "Note (column 3)", "Note (column 4)"}));
}

}  // namespace
}  // namespace ztxgrp::testing
