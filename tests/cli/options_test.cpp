// The command's option table: one row for every form of every option that
// --help documents (short and long names, "--name=value", repeated options,
// "--" after options, a value that is "--"), and a check that --help lists
// no option without a row here.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "process.hpp"

namespace ztxgrp::testing {
namespace {

struct OptionRow {
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string out;  // pattern, matched against the whole output; "~TEXT": output holding TEXT
};

const std::string kParts = "Ref,Value,MPN,Note\nR1,1k,A,x\nR2,1k,A,y\nR3,1k,B,x\nR4,2k,B,x\n";

// The placement file of the verify rows, and a parts list that agrees with it.
const std::string kCpl = ZTXGRP_TEST_DATA "/verify/board-cpl.csv";
const std::string kBoard = "Reference\nC1-C2\nR1-R2\nR3\nU1\nC3\nJ1\n";

// The other list of the diff rows: R1 1k, R2 2k.
const std::string kOther = ZTXGRP_TEST_DATA "/diff/options-other.csv";

const std::vector<OptionRow>& Rows() {
  static const std::vector<OptionRow> rows = {
      {{"--help"}, "", 0, "~Subcommands:"},
      {{"-h"}, "", 0, "~Subcommands:"},
      {{"--version"}, "", 0, "ztxgrp [0-9.]+\n"},
      {{"group", "--help"}, "", 0, "~--min-run"},
      {{"group", "-h"}, "", 0, "~--min-run"},
      {{"group", "-s", "R1;R2 R3"}, "", 0, "R1-R3\n"},
      {{"group", "--split", "R1, R2", "R4"}, "", 0, "R1-R2\nR4\n"},
      {{"group", "-j", ", ", "R2", "R1", "R4"}, "", 0, "R1-R2, R4\n"},
      {{"group", "--join", " ", "R1", "R2"}, "", 0, "R1-R2\n"},
      {{"group", "--join= ", "R1", "R3"}, "", 0, "R1 R3\n"},
      {{"group", "-j", "--", "R1", "R3"}, "", 0, "R1--R3\n"},
      {{"group", "--json"}, "[\"R2\",\"R1\",3]", 0, "\\[\"3\",\"R1-R2\"\\]\n"},
      {{"group", "--min-run", "3", "R1", "R2", "R5", "R6", "R7"}, "", 0, "R1\nR2\nR5-R7\n"},
      {{"group", "--min-run=3", "R1", "R2"}, "", 0, "R1\nR2\n"},
      {{"group", "--min-run", "1", "R1"}, "", 3, ""},
      {{"group", "--", "-R1", "R2"}, "", 0, "-R1\nR2\n"},
      {{"group", "-j", ",", "--", "R2", "R1"}, "", 0, "R1-R2\n"},
      {{"group"}, "R2\nR1\n", 0, "R1-R2\n"},
      {{"ungroup", "C1-C3", "R5", "-j", " "}, "", 0, "C1 C2 C3 R5\n"},
      {{"ungroup", "--json"}, "[\"R1-R2\"]", 0, "\\[\"R1\",\"R2\"\\]\n"},
      {{"ungroup", "-s", "--json"}, "[\"R1-R2\"]", 2, ""},  // --json takes no --split
      {{"ungroup", "-h"}, "", 0, "~ITEM"},
      {{"ungroup", "--help"}, "", 0, "~ITEM"},
      {{"ungroup", "--join", ",", "R1-R2"}, "", 0, "R1,R2\n"},
      {{"ungroup", "--split", "R1-R2,R4"}, "", 0, "R1\nR2\nR4\n"},
      {{"ungroup", "--", "R1-R2"}, "", 0, "R1\nR2\n"},
      {{"expand", "R1-R3", "--join", ","}, "", 0, "R1,R2,R3\n"},
      {{"expand", "-j", " ", "--", "R1-R2"}, "", 0, "R1 R2\n"},
      {{"expand", "--json"}, "\"R1-R2\"", 0, "\\[\"R1\",\"R2\"\\]\n"},
      {{"expand", "-s", "R1-R2"}, "", 0, "R1\nR2\n"},
      {{"expand", "-h"}, "", 0, "~TEXT"},
      {{"expand", "--help"}, "", 0, "~TEXT"},
      {{"expand", "--split", "R1-R2"}, "", 0, "R1\nR2\n"},
      {{"check", "R1-R3", "R3-R1"}, "", 1, "true\nfalse\n"},
      {{"check", "-j", " ", "R1"}, "", 0, "true\n"},
      {{"check", "--json"}, "\"R1\"", 0, "true\n"},
      {{"check", "-s", "R1,R3-R1"}, "", 1, "true\nfalse\n"},
      {{"check", "--help"}, "", 0, "~TEXT"},
      {{"check", "-h"}, "", 0, "~TEXT"},
      {{"check", "--split", "--join", " ", "R1 R2"}, "", 0, "true true\n"},
      {{"check", "--", "-R1"}, "", 1, "false\n"},
      {{"bom", "--help"}, "", 0, "~--strict"},
      {{"bom", "-h"}, "", 0, "~--strict"},
      {{"bom", "--by", "Value,MPN"},
       kParts,
       0,
       "Ref,Qty,Value,MPN,Note\nR1-R2,2,1k,A,x\nR3,1,1k,B,x\nR4,1,2k,B,x\n"},
      {{"bom", "--by", "Value", "--by", "MPN"},
       kParts,
       0,
       "Ref,Qty,Value,MPN,Note\nR1-R2,2,1k,A,x\nR3,1,1k,B,x\nR4,1,2k,B,x\n"},
      {{"bom", "--by=Value"}, kParts, 0, "Ref,Qty,Value,MPN,Note\nR1-R3,3,1k,A,x\nR4,1,2k,B,x\n"},
      {{"bom", "--refs", "Ref", "--qty", "Count"}, "Ref\nR1\nR2\n", 0, "Ref,Count\nR1-R2,2\n"},
      {{"bom", "--refs=Ref", "--qty=N"}, "Ref\nR1\n", 0, "Ref,N\nR1,1\n"},
      {{"bom", "--sep", ";"}, "Ref;V\nR1;a\n", 0, "Ref;Qty;V\nR1;1;a\n"},
      {{"bom", "--sep=tab"}, "Ref\tV\nR1\ta\n", 0, "Ref\tQty\tV\nR1\t1\ta\n"},
      {{"bom", "-j", " "}, "Ref\nR1\nR3\n", 0, "Ref,Qty\nR1 R3,2\n"},
      {{"bom", "--join", ";"}, "Ref\nR1\nR3\n", 0, "Ref,Qty\nR1;R3,2\n"},
      {{"bom", "-j", "--"}, "Ref\nR1\n", 2, ""},  // "--" is the value, and holds a dash
      {{"bom", "--min-run", "3"}, "Ref\nR1\nR2\n", 0, "Ref,Qty\n\"R1, R2\",2\n"},
      {{"bom", "--header-row", "2"}, "Board A\nRef\nR1\nR2\n", 0, "Board A\nRef,Qty\nR1-R2,2\n"},
      {{"bom", "--header-row=2", "--refs", "Part"},
       "Part\nPart\nR1\n",
       0,
       "Part\nPart,Qty\nR1,1\n"},
      {{"bom", "--header-row", "0"}, "Ref\nR1\n", 2, ""},
      {{"bom", "--last-row", "2"}, "Ref\nR1\nR2\n", 0, "Ref,Qty\nR1,1\nR2\n"},
      {{"bom", "--last-row=0"}, "Ref\nR1\n", 2, ""},
      {{"diff", "--last-row", "3", "-", kOther},
       "Ref,Value\nR1,1k\nR2,1k\nR9,1k\n",
       1,
       "~changed R2"},
      {{"verify", "--last-row", "2", "-", kCpl},
       "Ref\nC1\nTotal\n",
       1,
       "~not in the parts list: C2-C3"},
      {{"bom", "--sheet", "Parts"}, "Ref\nR1\n", 0, "Ref,Qty\nR1,1\n"},  // CSV has no sheets
      {{"bom", "--format", "csv"}, "Ref\nR1\n", 0, "Ref,Qty\nR1,1\n"},
      {{"bom", "--max-per-row", "2"}, "Ref\nR1\nR2\nR3\n", 0, "Ref,Qty\nR1-R2,2\nR3,1\n"},
      {{"bom", "--max-per-row=1"}, "Ref\nR1\nR2\n", 0, "Ref,Qty\nR1,1\nR2,1\n"},
      {{"bom", "--max-per-row", "0"}, "Ref\nR1\n", 2, ""},
      {{"bom", "--no-ranges"}, "Ref\nR1\nR2\nR3\n", 0, "Ref,Qty\n\"R1, R2, R3\",3\n"},
      {{"verify", "--help"}, "", 0, "~--placement-format"},
      {{"verify", "-h"}, "", 0, "~--placement-format"},
      {{"verify", "-", kCpl}, kBoard, 0, "the files agree\n"},
      {{"verify", "--placement-format", "cpl", "-", kCpl}, kBoard, 0, "the files agree\n"},
      {{"verify", "--placement-format=eagle", "-", kCpl}, kBoard, 2, ""},
      {{"verify", "--ignore", "R*", "-", kCpl},
       "Reference\nC1-C3\nU1\nJ1\n",
       0,
       "the files agree\n"},
      {{"verify", "--ignore=R1,R2", "--ignore", "R3", "-", kCpl},
       "Reference\nC1-C3\nU1\nJ1\n",
       0,
       "the files agree\n"},
      {{"verify", "--max-per-row", "1", "-", kCpl}, kBoard, 1, "~more designators than a row"},
      {{"verify", "--csv", "-", kCpl}, "Reference\nC1\n", 1, "~Finding,Designators,Count"},
      {{"verify", "--json", "-", kCpl}, "Reference\nC1\n", 1, "~\"findings\""},
      {{"verify", "--refs", "Part", "--qty", "N", "--sep", ";", "-j", " ", "--min-run", "3",
        "--header-row", "1", "--sheet", "S", "--format", "text", "-", kCpl},
       "Part;N\nC1 C2;2\nR1 R2 R3;3\nU1;1\nC3;1\nJ1;1\n",
       0,
       "the files agree\n"},
      {{"verify", "--refs=Part", "--qty=N", "--sep=;", "--join=,", "--min-run=2", "--header-row=1",
        "--sheet=S", "--format=json", "--output", "/dev/stdout", "-", kCpl},
       "Part;N\nC1,C2;2\nR1,R2,R3;3\nU1;1\nC3;1\nJ1;1\n",
       0,
       "~\"findings\": []"},
      {{"verify", "-o", "/dev/stdout", "-", kCpl}, kBoard, 0, "the files agree\n"},
      {{"bom", "--format=xlsx", "-o", "/dev/stdout"}, "Ref\nR1\n", 0, "~PK\x03\x04"},
      {{"bom", "--format=ods", "-o", "/dev/stdout"},
       "Ref\nR1\n",
       0,
       "~mimetypeapplication/vnd.oasis.opendocument.spreadsheet"},
      {{"bom", "--format", "pdf"}, "Ref\nR1\n", 2, ""},
      {{"bom", "--expand"}, "Ref,Qty\nR1-R2,2\n", 0, "Ref,Qty\nR1,1\nR2,1\n"},
      {{"bom", "--strict"}, "Ref\nR1\nR1\n", 2, ""},
      {{"bom", "-o", "/dev/stdout"}, "Ref\nR2\nR1\n", 0, "Ref,Qty\nR1-R2,2\n"},
      {{"bom", "--output", "/proc/self/fd/1"}, "Ref\nR1\n", 0, "Ref,Qty\nR1,1\n"},
      {{"bom", "--output=/dev/stdout"}, "Ref\nR1\n", 0, "Ref,Qty\nR1,1\n"},
      {{"bom", "-"}, "Ref\nR1\n", 0, "Ref,Qty\nR1,1\n"},
      {{"bom", "--", "-"}, "Ref\nR1\n", 0, "Ref,Qty\nR1,1\n"},
      {{"diff", "--help"}, "", 0, "~--all"},
      {{"diff", "-h"}, "", 0, "~--csv"},
      {{"diff", "-", kOther}, "Ref,Value\nR1,1k\nR2,1k\n", 1, "changed R2 \\(1\\): .*\n.*\n"},
      {{"diff", "--all", "-", kOther}, "Ref,Value\nR1,1k\n", 1, "unchanged R1 \\(1\\)\n(.|\n)*"},
      {{"diff", "--csv", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "Change,Ref,Count,Value \\(old\\),Value \\(new\\)\nadded,R2,1,,2k\n"},
      {{"diff", "--json", "--", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "\\{\"columns\":\\[\"Value\"\\].*\n"},
      {{"diff", "--by", "Value", "--csv", "-", kOther}, "Ref,Value\nR1,1k\n", 1, "~added,R2,1,,2k"},
      {{"diff", "--header-row", "1", "-", kOther}, "Ref,Value\nR1,1k\n", 1, "~added R2"},
      {{"diff", "--sheet", "S", "-", kOther}, "Ref,Value\nR1,1k\n", 1, "~added R2"},
      {{"diff", "--format", "xlsx", "-o", "/dev/stdout", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "~PK\x03\x04"},
      {{"diff", "--format", "xlsx", "--json", "-", kOther}, "Ref,Value\nR1,1k\n", 2, ""},
      {{"diff", "--parts", "Value", "-", kOther},
       "Ref,Value\nR1-R2,1k\n",
       1,
       "~quantity changed \"Value\" \"1k\": 2 -> 1 (-1), removed R2 (1)"},
      {{"diff", "--parts=Value", "--boards", "3", "--csv", "-", kOther},
       "Ref,Value\nR1-R2,1k\n",
       1,
       "~quantity changed,1k,6,3,-3,,R2"},
      {{"diff", "--boards=2", "-", kOther}, "Ref,Value\nR1,1k\n", 2, ""},
      {{"diff", "--html", "-", kOther}, "Ref,Value\nR1,1k\n", 1, "~<!DOCTYPE html>"},
      {{"diff", "--html", "--csv", "-", kOther}, "Ref,Value\nR1,1k\n", 2, ""},
      {{"diff", "--format", "html", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "~<td class=\"kind\">added"},
      {{"diff", "-o", "/dev/stdout", "--format=html", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "~</html>"},
      {{"diff", "--parts", "Value", "--boards", "0", "-", kOther}, "Ref,Value\nR1,1k\n", 2, ""},
      {{"diff", "--parts", "MPN", "-", kOther}, "Ref,Value\nR1,1k\n", 2, ""},
      // git's external diff driver: seven words, or the path alone; status 0.
      {{"git-diff", "-h"}, "", 0, "~WORD"},
      {{"git-diff", "--help"}, "", 0, "~--ext-diff"},
      {{"git-diff", "--sep",     ",", "--refs",       "Ref", "--qty",     "Qty", "--by",
        "Value",    "--min-run", "2", "--header-row", "1",   "parts.csv", "-",   "0",
        "100644",   kOther,      "1", "100644"},
       "Ref,Value\nR1,1k\n",
       0,
       "~ztxgrp diff a/parts.csv b/parts.csv\nadded R2 (1)"},
      {{"git-diff", "-j", " ", "--", "p.csv", "/dev/null", "0", "0", kOther, "1", "100644"},
       "",
       0,
       "~added R1 (1)"},
      {{"git-diff", "--join", ";", "p.csv", kOther, "1", "100644", "/dev/null", "0", "0"},
       "",
       0,
       "~removed R1 (1)"},
      {{"git-diff", "parts.csv"}, "", 0, "\\* Unmerged path parts.csv\n"},
      {{"git-diff", "a", "b"}, "", 2, ""},
      {{"diff", "--refs", "Ref", "--qty", "Qty", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "~added R2"},
      {{"diff", "--sep", ",", "-j", " ", "--min-run", "2", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "~added R2"},
      {{"diff", "--join", ";", "--output", "/dev/stdout", "-", kOther},
       "Ref,Value\nR1,1k\n",
       1,
       "~added R2"},
      {{"diff", "-o", "/dev/stdout", "-", kOther},
       "Ref,Value\nR1,1k\nR2,2k\n",
       0,
       "the lists agree\n"},
  };
  return rows;
}

// Descriptor names and the POSIX-only paths are skipped for ztxgrp.exe.
bool PosixOnly(const OptionRow& row) {
  for (const std::string& arg : row.args)
    if (arg.find("/dev/") != std::string::npos || arg.find("/proc/") != std::string::npos)
      return true;
  return false;
}

TEST(OptionTableTest, EveryDocumentedFormWorks) {
  for (const OptionRow& row : Rows()) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    if (CommandIsWindows() && PosixOnly(row)) continue;
    const ProcessResult result = RunProcess(CommandUnderTest(), row.args, row.input);
    EXPECT_EQ(result.status, row.status) << result.err;
    // Help texts are long: looked up, not matched (std::regex recurses per character).
    const bool matches = row.out.starts_with("~")
                             ? result.out.find(row.out.substr(1)) != std::string::npos
                             : std::regex_match(result.out, std::regex(row.out));
    EXPECT_TRUE(matches) << result.out;
  }
}

// The option names that `ztxgrp COMMAND --help` lists (COMMAND empty: the
// command's own help).
std::set<std::string> ListedOptions(const std::string& command) {
  const std::regex option("(^|[ ,])(--?[A-Za-z][-A-Za-z]*)");
  std::vector<std::string> args;
  if (!command.empty()) args.push_back(command);
  args.push_back("--help");
  const ProcessResult help = RunProcess(CommandUnderTest(), args);
  EXPECT_EQ(help.status, 0);
  const std::string listed = help.out.substr(help.out.find("Options:"));
  const std::string options = listed.substr(0, listed.find("\n\n"));
  std::set<std::string> names;
  std::istringstream lines(options);
  for (std::string line; std::getline(lines, line);) {
    const std::string head = line.substr(0, line.find("  ", 2));
    for (auto m = std::sregex_iterator(head.begin(), head.end(), option);
         m != std::sregex_iterator(); ++m)
      names.insert((*m)[2]);
  }
  return names;
}

// Every option name that a --help lists has a row above for its command.
TEST(OptionTableTest, EveryOptionThatHelpListsHasARow) {
  const std::vector<std::string> commands = {"",      "group", "ungroup", "expand",
                                             "check", "bom",   "diff",    "verify"};
  for (const std::string& command : commands) {
    const std::set<std::string> names = ListedOptions(command);
    EXPECT_FALSE(names.empty()) << command;
    auto names_it = [](const std::string& arg, const std::string& name) {
      return arg == name || arg.starts_with(name + "=");
    };
    for (const std::string& name : names) {
      bool found = false;
      for (const OptionRow& row : Rows()) {
        if (command.empty()) {
          found = found || (row.args.size() == 1 && names_it(row.args[0], name));
          continue;
        }
        if (row.args.empty() || row.args[0] != command) continue;
        for (std::size_t k = 1; k < row.args.size(); ++k)
          found = found || names_it(row.args[k], name);
      }
      EXPECT_TRUE(found) << (command.empty() ? "ztxgrp" : command) << " " << name
                         << " has no row in the option table";
    }
  }
}

// The parts-list and set commands offer exactly the options declared for
// their operations (bom: collapsing and expanding a file; diff: comparing
// files; union: combining sets), under their command names, besides the
// commands' own words.
TEST(OptionTableTest, PartsCommandsOfferTheDeclaredOptions) {
  const nlohmann::json table = nlohmann::json::parse(std::ifstream(ZTXGRP_OPTION_TABLE));
  const struct {
    std::string command;
    std::vector<std::string> operations, own;
  } commands[] = {
      {"bom",
       {"collapse-file", "expand-file"},
       {"-h", "--help", "-o", "--output", "--expand", "--strict", "-j"}},
      {"diff",
       {"diff-files"},
       {"-h", "--help", "-o", "--output", "--csv", "--json", "--html", "-j"}},
      {"verify", {"verify-files"}, {"-h", "--help", "-o", "--output", "--csv", "--json", "-j"}},
      {"union", {"combine-sets"}, {"-h", "--help", "-j", "--join"}},
      {"intersect", {"combine-sets"}, {"-h", "--help", "-j", "--join"}},
      {"subtract", {"combine-sets"}, {"-h", "--help", "-j", "--join"}},
      {"xor", {"combine-sets"}, {"-h", "--help", "-j", "--join"}},
      {"gaps", {"set-gaps"}, {"-h", "--help", "-j", "--join"}},
      {"free", {"set-free"}, {"-h", "--help", "-j", "--join"}},
      {"count", {}, {"-h", "--help"}},
      {"contains", {}, {"-h", "--help", "-j", "--join"}},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command);
    std::set<std::string> expected(c.own.begin(), c.own.end());
    for (const nlohmann::json& row : table)
      for (const std::string& operation : c.operations)
        if (std::find(row["operations"].begin(), row["operations"].end(), operation) !=
            row["operations"].end())
          expected.insert(row["command"].get<std::string>());
    EXPECT_EQ(ListedOptions(c.command), expected);
  }
}

}  // namespace
}  // namespace ztxgrp::testing
