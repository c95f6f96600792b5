// The table of parts-list files (tests/data/parts-files) through the library's
// one door and through `ztxgrp bom` as a process: the same bytes and the same
// warnings, or the same refusal. Python, the npm package and the web page run
// the same table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "process.hpp"
#include "ztxgrp/parts_file.hpp"

namespace ztxgrp::testing {
namespace {

const std::filesystem::path kFolder = ZTXGRP_TEST_DATA "/parts-files";

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
  return args;
}

TEST(PartsFilesTest, TheLibraryWritesWhatTheTableHolds) {
  for (const nlohmann::json& c : Cases()) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const nlohmann::json& o = c["options"];
    PartsFileOptions options;
    if (o.contains("refs")) options.names.refs = o["refs"];
    if (o.contains("qty")) options.names.qty = o["qty"];
    if (o.contains("by")) options.names.by = o["by"].get<std::vector<std::string>>();
    if (o.contains("join")) options.names.join = o["join"];
    if (o.contains("minRun")) options.names.min_run = o["minRun"];
    if (o.contains("sep")) options.separator = separator_named(o["sep"].get<std::string>());
    options.expand = o.value("expand", false);
    try {
      const PartsFileResult result =
          process_parts_file(Bytes(kFolder / c["input"]), options, {"refs", "qty", "by"});
      ASSERT_TRUE(c.contains("output")) << "refused nothing";
      EXPECT_EQ(result.bytes, Bytes(kFolder / c["output"]));
      std::vector<std::string> warnings;
      for (const PartsWarning& warning : result.warnings) warnings.push_back(warning.message);
      EXPECT_EQ(warnings, c["warnings"].get<std::vector<std::string>>());
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

TEST(PartsFilesTest, TheCommandWritesWhatTheTableHolds) {
  for (const nlohmann::json& c : Cases()) {
    SCOPED_TRACE(c["name"].get<std::string>());
    const ProcessResult result =
        RunProcess(CommandUnderTest(), BomArguments(c["options"]), Bytes(kFolder / c["input"]));
    if (c.contains("output")) {
      EXPECT_EQ(result.status, 0) << result.err;
      EXPECT_EQ(result.out, Bytes(kFolder / c["output"]));
      std::string warnings;
      for (const auto& warning : c["warnings"])
        warnings.append("ztxgrp: warning: ").append(warning.get<std::string>()).append("\n");
      EXPECT_EQ(result.err, warnings);
    } else {
      EXPECT_EQ(result.status, c["status"].get<int>());
      EXPECT_EQ(result.out, "");
      EXPECT_NE(result.err.find(c["error"].get<std::string>()), std::string::npos) << result.err;
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

}  // namespace
}  // namespace ztxgrp::testing
