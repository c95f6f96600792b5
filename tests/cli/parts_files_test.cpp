// The table of parts-list files (tests/data/parts-files) through `ztxgrp bom`
// as a process: the bytes and warnings the table holds, or its refusal. The
// library's own test, Python, the npm package and the web page run the same
// table.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "process.hpp"
#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::testing {
namespace {

const std::filesystem::path kFolder = ZTXGRP_TEST_DATA "/parts-files";

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The command's name of an option, as the options file declares it.
std::string DeclaredCommandName(const std::string& option) {
  for (const nlohmann::json& row : nlohmann::json::parse(Bytes(ZTXGRP_OPTION_TABLE)))
    if (row["option"] == option) return row["command"];
  ADD_FAILURE() << "no option " << option;
  return {};
}

nlohmann::json Cases() {
  return nlohmann::json::parse(Bytes(kFolder / "cases.json"));
}

std::vector<std::string> BomArguments(const nlohmann::json& options) {
  std::vector<std::string> args = {"bom"};
  if (options.value("expand", false)) args.push_back("--expand");
  for (const auto& name : options.value("by", nlohmann::json::array()))
    args.insert(args.end(), {"--by", name.get<std::string>()});
  for (const char* key : {"refs", "qty", "sep"})
    if (options.contains(key)) {
      std::string flag = "--";
      args.push_back(flag.append(key));
      args.push_back(options[key]);
    }
  if (options.contains("join")) args.insert(args.end(), {"-j", options["join"]});
  if (options.contains("minRun"))
    args.insert(args.end(), {"--min-run", std::to_string(options["minRun"].get<int>())});
  if (options.contains("headerRow"))
    args.insert(args.end(), {"--header-row", std::to_string(options["headerRow"].get<int>())});
  if (options.contains("lastRow"))
    args.insert(args.end(), {"--last-row", std::to_string(options["lastRow"].get<int>())});
  if (options.contains("maxPerRow"))
    args.insert(args.end(), {"--max-per-row", std::to_string(options["maxPerRow"].get<int>())});
  if (options.value("noRanges", false)) args.push_back("--no-ranges");
  if (options.contains("format")) args.insert(args.end(), {"--format", options["format"]});
  return args;
}

TEST(PartsFilesTest, TheCommandWritesWhatTheTableHolds) {
  for (const nlohmann::json& c : Cases()) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const ProcessResult result =
        RunProcess(CommandUnderTest(), BomArguments(c["options"]), Bytes(kFolder / c["input"]));
    if (c.contains("output")) {
      EXPECT_EQ(result.status, 0) << result.err;
      EXPECT_EQ(result.out, Bytes(kFolder / c["output"]));
      std::string warnings;
      for (const auto& note : c.value("notes", nlohmann::json::array()))
        warnings.append("ztxgrp: note: ").append(note.get<std::string>()).append("\n");
      for (const auto& warning : c["warnings"])
        warnings.append("ztxgrp: warning: ").append(warning.get<std::string>()).append("\n");
      EXPECT_EQ(result.err, warnings);
    } else {
      EXPECT_EQ(result.status, c["status"].get<int>());
      EXPECT_EQ(result.out, "");
      EXPECT_NE(result.err.find(c["error"].get<std::string>()), std::string::npos) << result.err;
      if (c.contains("remedy")) {
        const std::string ending = "; name it with " + DeclaredCommandName(c["remedy"]) + "\n";
        EXPECT_TRUE(result.err.ends_with(ending)) << result.err;
      }
      if (c.contains("item")) {
        const std::string item = c["item"].dump();  // quoted, as messages quote it
        EXPECT_NE(result.err.find(item), std::string::npos);
        std::string line = "line ";
        EXPECT_NE(result.err.find(line.append(std::to_string(c["line"].get<int>()))),
                  std::string::npos);
      }
    }
  }
}

// The real boards beside the project: the library's bytes are the command's.
TEST(PartsFilesTest, RealBoardsReadAlikeThroughTheLibraryAndTheCommand) {
  const std::filesystem::path boards = ZTXGRP_BOARD_DATA;
  if (!std::filesystem::exists(boards)) GTEST_SKIP() << "board data not found at " << boards;
  for (const auto& entry : std::filesystem::directory_iterator(boards)) {
    if (entry.path().extension() != ".csv") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string bytes = Bytes(entry.path());
    for (const bool expand : {false, true}) {
      PartsOptions options;
      options.expand = expand;
      const PartsFileResult library = process_parts_file(bytes, options);
      const ProcessResult command = RunProcess(
          CommandUnderTest(),
          expand ? std::vector<std::string>{"bom", "--expand"} : std::vector<std::string>{"bom"},
          bytes);
      EXPECT_EQ(command.status, 0) << command.err;
      EXPECT_EQ(command.out, library.bytes);
    }
  }
}

// One splitting rule: the library's, for UTF-8 and UTF-16 text, and the
// command's `-s`, which answers once per piece.
TEST(DesignatorSplitTest, OneRuleEverywhere) {
  const struct {
    std::string text;
    std::string join;
    std::vector<std::string> pieces;
  } cases[] = {
      {"R1;R2 R3", "", {"R1", "R2", "R3"}},
      {" R1,, R2\t\r\nR3 ", "", {"R1", "R2", "R3"}},
      {"R5\xC2\xA0R6", "", {"R5", "R6"}},
      {"\xC3\x85"
       "1 \xC3\x85"
       "2",
       "",
       {"\xC3\x85"
        "1",
        "\xC3\x85"
        "2"}},
      {"R1|R2 | R3", "|", {"R1", "R2", "R3"}},
      {"Half-Bridge_DO1301, U1.1", "", {"Half-Bridge_DO1301", "U1.1"}},
      {" ;, ", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string_view> pieces;
    SplitDesignators<char>(c.text, c.join, pieces);
    EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.end()), c.pieces);
    const std::u16string wide = Utf8ToUtf16(c.text), wideJoin = Utf8ToUtf16(c.join);
    std::vector<std::u16string_view> widePieces;
    SplitDesignators<char16_t>(wide, wideJoin, widePieces);
    ASSERT_EQ(widePieces.size(), c.pieces.size());
    for (std::size_t k = 0; k < widePieces.size(); ++k)
      EXPECT_EQ(Utf16ToUtf8(widePieces[k]), c.pieces[k]);
    if (c.join.empty() && !c.pieces.empty()) {
      const ProcessResult result = RunProcess(CommandUnderTest(), {"check", "-s", "--", c.text});
      EXPECT_EQ(static_cast<std::size_t>(std::count(result.out.begin(), result.out.end(), '\n')),
                c.pieces.size())
          << result.out << result.err;
    }
  }
}

}  // namespace
}  // namespace ztxgrp::testing
