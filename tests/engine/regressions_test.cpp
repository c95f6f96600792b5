// Replays kept fuzz inputs (tests/regressions/text and list) through the
// same property checks that the fuzz targets run.
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
  int replayed = 0;
  for (const char* kind : {"text", "list"}) {
    for (const auto& entry : std::filesystem::directory_iterator(root / kind)) {
      SCOPED_TRACE(entry.path().string());
      const std::string data = Read(entry.path());
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
      const std::string problem = std::string(kind) == "text" ? fuzz::CheckText(bytes, data.size())
                                                              : fuzz::CheckList(bytes, data.size());
      EXPECT_EQ(problem, "");
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace ztxgrp
