// Writes a board-like designator list, one per line, for command-line
// benchmarks: board_list COUNT [SEED].
#include <cstdlib>
#include <iostream>

#include "board_data.hpp"
#include "ztxgrp/utf.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: board_list COUNT [SEED]\n";
    return 2;
  }
  const auto count = static_cast<std::size_t>(std::strtoul(argv[1], nullptr, 10));
  const auto seed = argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 42u;
  for (const auto& item : ztxgrp::bench::BoardDesignators(count, seed))
    std::cout << ztxgrp::Utf16ToUtf8(item) << '\n';
  return 0;
}
