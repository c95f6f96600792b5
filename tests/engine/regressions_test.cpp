// Replays kept fuzz inputs (tests/regressions/text, list, parts, workbook,
// placement, sets) and the parts-list, workbook, placement and sets seeds through the same property
// checks that the fuzz targets run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "checks.hpp"

namespace ztxgrp {
namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RegressionsTest, KeptFuzzInputsKeepPassing) {
  const std::filesystem::path root = ZTXGRP_REGRESSIONS_DIR;
  const std::filesystem::path seeds = ZTXGRP_PARTS_SEEDS;
  const std::filesystem::path workbookSeeds = ZTXGRP_WORKBOOK_SEEDS;
  const std::filesystem::path placementSeeds = ZTXGRP_PLACEMENT_SEEDS;
  const std::filesystem::path setsSeeds = ZTXGRP_SETS_SEEDS;
  int replayed = 0;
  for (const auto& directory :
       {root / "text", root / "list", root / "parts", seeds, root / "workbook", workbookSeeds,
        root / "placement", placementSeeds, root / "sets", setsSeeds}) {
    const std::string kind = directory.filename().string();
    if (!std::filesystem::exists(directory)) continue;  // nothing kept yet
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      SCOPED_TRACE(entry.path().string());
      const std::string data = Read(entry.path());
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
      const std::string problem = kind == "text"        ? fuzz::CheckText(bytes, data.size())
                                  : kind == "list"      ? fuzz::CheckList(bytes, data.size())
                                  : kind == "workbook"  ? fuzz::CheckWorkbook(bytes, data.size())
                                  : kind == "placement" ? fuzz::CheckPlacement(bytes, data.size())
                                  : kind == "sets"      ? fuzz::CheckSets(bytes, data.size())
                                                        : fuzz::CheckParts(bytes, data.size());
      EXPECT_EQ(problem, "");
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace ztxgrp
