// How the CSV reader reads lines without quotes: split here, as it does for
// speed, or through libcsv as every other line is read. The checks that the
// two read alike (tests and the fuzz target) choose; the library splits here.
#pragma once

#include <optional>
#include <string>

#include "ztxgrp/csv_file.hpp"

namespace ztxgrp::parts_detail {

enum class PlainLines { SplitHere, ThroughLibcsv };

// ReadCsv, with lines without quotes read as `plainLines` says.
CsvTable ReadCsvWith(std::string bytes, std::optional<char> separator,
                     const CsvHeaderChoice& header, PlainLines plainLines);

}  // namespace ztxgrp::parts_detail
