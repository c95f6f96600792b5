// The property that the command's input fuzz target checks, shared with the
// ordinary test that replays kept inputs (tests/regressions/cli).
//
// Byte 0 chooses the command (bits 0-1: group, ungroup, expand, check) and
// its options (bit 2 --json, bit 3 --split, bit 4 --join ","), or with bit 5
// `bom` (bit 0 --expand, bit 1 --strict); the rest is standard input.
// Checked: the line, JSON and CSV readers, --split, the designator cells and
// the command end with a status or one of the failures that the command reports
// (runtime errors with the engine's numbers, input and usage errors), never
// with anything else; for bom, lines without quotes read as libcsv reads
// them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ztxgrp::fuzz {

std::string CheckCommandInput(const std::uint8_t* data, std::size_t size);

// What the CSV reader makes of `csv` (header, separator, line end, each row
// with its line) or its failure, as text to compare; `throughLibcsv` sends
// lines without quotes through libcsv too.
std::string DescribeCsv(const std::string& csv, bool throughLibcsv);

}  // namespace ztxgrp::fuzz
