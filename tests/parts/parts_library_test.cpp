// The parts-list library on its own: the tables of parts-list files and of
// comparisons (the command's tests read the same tables), and tables given
// as strings or as views.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>

#include "parts_options_json.hpp"
#include "ztxgrp/designator_sets.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_verify.hpp"

namespace ztxgrp::testing {
namespace {

const std::filesystem::path kFilesFolder = ZTXGRP_TEST_DATA "/parts-files";
const std::filesystem::path kDiffFolder = ZTXGRP_TEST_DATA "/diff";
const std::filesystem::path kVerifyFolder = ZTXGRP_TEST_DATA "/verify";
const std::filesystem::path kSetsFolder = ZTXGRP_TEST_DATA "/sets";

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PartsFilesTest, TheLibraryWritesWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kFilesFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const nlohmann::json& o = c["options"];
    try {
      const PartsFileResult result =
          process_parts_file(Bytes(kFilesFolder / c["input"]), PartsOptionsOf(o));
      ASSERT_TRUE(c.contains("output")) << "refused nothing";
      EXPECT_EQ(result.bytes, Bytes(kFilesFolder / c["output"]));
      std::vector<std::string> warnings;
      for (const PartsWarning& warning : result.warnings) warnings.push_back(warning.message);
      EXPECT_EQ(warnings, c["warnings"].get<std::vector<std::string>>());
      EXPECT_EQ(result.notes, c.value("notes", std::vector<std::string>()));
    } catch (const RowError& error) {
      ASSERT_TRUE(c.contains("error")) << error.what();
      EXPECT_NE(std::string(error.what()).find(c["error"].get<std::string>()), std::string::npos);
      EXPECT_EQ(error.row(), c["line"].get<std::size_t>());
      EXPECT_EQ(error.noun(), "line");
    } catch (const std::exception& error) {
      ASSERT_TRUE(c.contains("error")) << error.what();
      EXPECT_NE(std::string(error.what()).find(c["error"].get<std::string>()), std::string::npos)
          << error.what();
    }
  }
}

// Each list of the table written as an OpenDocument spreadsheet reads back
// as the same list written as an .xlsx workbook does: the same title rows,
// texts, numbers and cells.
TEST(PartsFilesTest, ListsWrittenAsOdsReadBackAsXlsxDoes) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kFilesFolder / "cases.json"))) {
    if (!c.contains("output") || c["options"].contains("format")) continue;
    SCOPED_TRACE(c["name"].get<std::string>());
    const auto readBack = [&](OutputForm form) {
      PartsOptions options = PartsOptionsOf(c["options"]);
      options.format = form;
      const std::string book = process_parts_file(Bytes(kFilesFolder / c["input"]), options).bytes;
      PartsOptions again;
      again.refs = options.refs;
      again.qty = options.qty;
      again.header_row = options.header_row;
      again.join = options.join;
      again.expand = true;
      again.format = OutputForm::Csv;
      try {
        return process_parts_file(book, again).bytes;
      } catch (const PartsError& error) {
        return std::string("refused: ") + error.what();  // as refused for either form
      }
    };
    const std::string viaXlsx = readBack(OutputForm::Workbook);
    try {
      EXPECT_EQ(readBack(OutputForm::OpenDocument), viaXlsx);
    } catch (const PartsError& error) {
      // XML holds no control character but tab and line ends: such a cell
      // is refused, saying so.
      EXPECT_NE(std::string(error.what()).find("control character"), std::string::npos);
      EXPECT_TRUE(std::any_of(viaXlsx.begin(), viaXlsx.end(), [](char k) {
        return static_cast<unsigned char>(k) < 0x20 && k != '\t' && k != '\r' && k != '\n';
      }));
    }
  }
}

TEST(VerifyTest, TheLibraryFindsWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kVerifyFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    std::vector<PlacementFile> placements;
    for (const std::string name : c["placements"])
      placements.push_back({name, Bytes(kVerifyFolder / name)});
    try {
      const PartsOptions options = PartsOptionsOf(c["options"]);
      const std::string bom = c["bom"];
      const VerifyResult result =
          verify_parts_files(Bytes(kVerifyFolder / bom), bom, std::move(placements), options);
      ASSERT_TRUE(c.contains("output")) << "refused nothing";
      EXPECT_EQ(write_verify_result(result, options), c["output"].get<std::string>());
      EXPECT_EQ(result.found(), c["status"] == 1);
      EXPECT_EQ(result.notes, c.value("notes", std::vector<std::string>()));
    } catch (const PartsError& error) {
      ASSERT_TRUE(c.contains("error")) << error.what();
      EXPECT_EQ(error.what(), c["error"].get<std::string>());
    }
  }
}

// The set operations' table, through the library's calls: the results as
// the command prints them, a line each.
std::vector<std::string> SetResult(const nlohmann::json& c) {
  const std::vector<std::string> texts = c["operands"];
  const std::vector<std::string_view> operands(texts.begin(), texts.end());
  const nlohmann::json& o = c["options"];
  const int minRun = o.value("minRun", 2);
  const std::string operation = c["operation"];
  if (operation == "count") {
    std::vector<std::string> lines;
    for (const DesignatorCount& count : count_designators(operands))
      lines.push_back(std::to_string(count.designators));
    return lines;
  }
  if (operation == "contains") {
    std::vector<std::string> lines;
    for (const bool answer : contains_designators(operands.front(), std::span(operands).subspan(1)))
      lines.push_back(answer ? "true" : "false");
    return lines;
  }
  if (operation == "gaps") return designator_gaps(operands.front(), minRun);
  if (operation == "free") {
    check_free_count(o.value("n", 1), OptionStyle::Command);
    return free_designators(operands[0], operands[1], o.value("n", 1), minRun).entries;
  }
  const SetOperation kind = operation == "union"       ? SetOperation::Union
                            : operation == "intersect" ? SetOperation::Intersect
                            : operation == "subtract"  ? SetOperation::Subtract
                                                       : SetOperation::Xor;
  return combine_designators(kind, operands, minRun);
}

TEST(SetsTest, TheLibraryGivesWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kSetsFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    try {
      const std::vector<std::string> result = SetResult(c);
      ASSERT_TRUE(c.contains("result")) << "refused nothing";
      EXPECT_EQ(result, c["result"].get<std::vector<std::string>>());
    } catch (const RowError& error) {
      ASSERT_EQ(c["status"], 3) << error.what();
      EXPECT_EQ(static_cast<int>(error.number()), c["number"].get<int>());
      EXPECT_EQ(error.row(), c["operand"].get<std::size_t>());
      EXPECT_EQ(error.noun(), "operand");
    } catch (const PartsError& error) {
      ASSERT_EQ(c["status"], 2) << error.what();
      // The command's words for an option the failure names.
      EXPECT_EQ(ArgumentError(error).located(),
                (c.contains("option") ? "-n: " : "") + c["error"].get<std::string>());
    }
  }
}

TEST(DiffTest, TheLibraryWritesWhatTheTableHolds) {
  for (const nlohmann::json& c : nlohmann::json::parse(Bytes(kDiffFolder / "cases.json"))) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const nlohmann::json& o = c["options"];
    try {
      PartsOptions options = PartsOptionsOf(o);
      options.format = OutputForm::Csv;  // the table's bytes
      const PartsDiffFileResult result =
          diff_parts_files(Bytes(kDiffFolder / c["old"]), Bytes(kDiffFolder / c["new"]), options);
      ASSERT_TRUE(c.contains("output")) << "refused nothing";
      EXPECT_EQ(result.bytes, Bytes(kDiffFolder / c["output"]));
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
    } catch (const std::exception& error) {
      ASSERT_TRUE(c.contains("error")) << error.what();
      EXPECT_NE(std::string(error.what()).find(c["error"].get<std::string>()), std::string::npos)
          << error.what();
    }
  }
}

// A parts table given as strings and the same table given as views read
// alike; tables whose shape is wrong are refused before any cell is read.
TEST(PartsTableTest, ViewsAndStringsReadAlikeAndBadShapesAreRefused) {
  PartsTable table;
  table.header = {"Ref", "Value"};
  table.rows = {{"R2", "1k"}, {"R1", "1k"}, {"C1", "1u"}};
  std::vector<std::string_view> cells;
  for (const auto& row : table.rows) cells.insert(cells.end(), row.begin(), row.end());
  const PartsColumns columns;  // designators in column 0
  const PartsResult owned = collapse_rows(table, columns);
  const PartsResult viewed = collapse_rows(PartsTableView{table.header, cells, {}, "row"}, columns);
  EXPECT_EQ(viewed.table.rows, owned.table.rows);
  EXPECT_EQ(owned.table.rows,
            (std::vector<std::vector<std::string>>{{"C1", "1", "1u"}, {"R1-R2", "2", "1k"}}));

  const std::vector<std::size_t> twoNumbers = {7, 9};
  const std::vector<std::string_view> oddCells(cells.begin(), cells.end() - 1);
  PartsTable shortRow = table;
  shortRow.rows[1].pop_back();
  const struct {
    const char* name;
    std::function<void()> call;
    std::string message;
  } cases[] = {
      {"a short row", [&] { collapse_rows(shortRow, columns); },
       "the row has 1 cells; the header has 2"},
      {"cells that fill no whole rows",
       [&] {
         expand_rows(PartsTableView{table.header, oddCells, {}, "row"}, columns);
       },
       "the cells do not fill whole rows: 5 cells, 2 columns"},
      {"row numbers for other rows",
       [&] {
         collapse_rows(PartsTableView{table.header, cells, twoNumbers, "line"}, columns);
       },
       "the row numbers do not match the rows"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const PartsError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

// The options' defaults are declared once, in the options file: the
// options value starts with them, and a cell list's join is the same.
TEST(PartsOptionsTest, DefaultsAreTheOptionFilesDefaults) {
  const nlohmann::json table = nlohmann::json::parse(std::ifstream(ZTXGRP_OPTION_TABLE));
  const PartsOptions defaults;
  const std::map<std::string, nlohmann::json> values = {
      {"refs", defaults.refs ? nlohmann::json(*defaults.refs) : nlohmann::json()},
      {"qty", defaults.qty ? nlohmann::json(*defaults.qty) : nlohmann::json()},
      {"by", defaults.by.empty() ? nlohmann::json() : nlohmann::json(defaults.by)},
      {"join", defaults.join},
      {"minRun", defaults.min_run},
      {"sep",
       defaults.separator ? nlohmann::json(std::string(1, *defaults.separator)) : nlohmann::json()},
      {"unchanged", defaults.unchanged},
      {"headerRow", defaults.header_row ? nlohmann::json(*defaults.header_row) : nlohmann::json()},
      {"lastRow", defaults.last_row ? nlohmann::json(*defaults.last_row) : nlohmann::json()},
      {"sheet", defaults.sheet ? nlohmann::json(*defaults.sheet) : nlohmann::json()},
      {"format",
       defaults.format ? nlohmann::json(static_cast<int>(*defaults.format)) : nlohmann::json()},
      {"maxPerRow",
       defaults.max_per_row ? nlohmann::json(*defaults.max_per_row) : nlohmann::json()},
      {"noRanges", defaults.no_ranges},
      {"ignore", defaults.ignore.empty() ? nlohmann::json() : nlohmann::json(defaults.ignore)},
      {"parts", defaults.parts.empty() ? nlohmann::json() : nlohmann::json(defaults.parts)},
      {"boards", defaults.boards},
      {"placementFormat", defaults.placement_format
                              ? nlohmann::json(static_cast<int>(*defaults.placement_format))
                              : nlohmann::json()},
  };
  // The set operations' own options (free's count) are no parts-list
  // options.
  std::size_t ofParts = 0;
  for (const nlohmann::json& row : table) {
    const std::string name = row["javascript"];
    if (name == "n") continue;
    ++ofParts;
    SCOPED_TRACE(name);
    ASSERT_TRUE(values.contains(name));
    EXPECT_EQ(values.at(name), row["default"]);
  }
  EXPECT_EQ(values.size(), ofParts);
}

}  // namespace
}  // namespace ztxgrp::testing
