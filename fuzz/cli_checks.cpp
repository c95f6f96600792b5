#include "cli_checks.hpp"

#include "checks.hpp"

#include "ztxgrp/parts_list.hpp"

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "bom.hpp"
#include "csv_lines.hpp"
#include "errors.hpp"
#include "io.hpp"
#include "list_commands.hpp"
#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::fuzz {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string DescribeCsv(const std::string& csv, bool throughLibcsv) {
  std::ostringstream out;
  try {
    using parts_detail::PlainLines;
    const CsvTable table = parts_detail::ReadCsvWith(
        csv, std::nullopt, {}, throughLibcsv ? PlainLines::ThroughLibcsv : PlainLines::SplitHere);
    for (const std::string& name : table.header) out << '[' << name << ']';
    out << '\n' << table.format.separator << table.format.lineEnd.size() << '\n';
    for (std::size_t r = 0; r < table.RowCount(); ++r) {
      out << table.lines[r] << ':';
      for (const std::string_view cell : table.Row(r)) out << '[' << cell << ']';
      out << '\n';
    }
  } catch (const std::exception& error) {
    out << "error: " << error.what();
  }
  return out.str();
}

std::string CheckCommandInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  cli::ListOptions options;
  options.kind = static_cast<cli::ListKind>(data[0] & 3);
  options.json = (data[0] & 4) != 0;
  options.split = (data[0] & 8) != 0;
  if (data[0] & 16) options.join = ",";
  const bool bom = (data[0] & 32) != 0;
  cli::PartsListCommand parts;
  parts.parts.expand = (data[0] & 1) != 0;
  parts.strict = (data[0] & 2) != 0;
  if (bom) options.json = false;
  std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  if (bom && DescribeCsv(input, false) != DescribeCsv(input, true))
    return "lines without quotes read otherwise than libcsv reads them";
  File in(input.empty() ? std::fopen("/dev/null", "r") : fmemopen(input.data(), input.size(), "r"));
  File out(std::fopen("/dev/null", "w"));
  if (!in || !out) return "cannot open the test streams";
  try {
    cli::InputBuffer buffer(in.get(), options.json);
    cli::OutputWriter writer(out.get());
    const int status =
        bom ? cli::RunBom(parts, buffer, writer) : cli::RunList(options, buffer, writer);
    writer.Finish();
    if (status != cli::kSuccess && status != cli::kInvalidRange)
      return "unexpected status " + std::to_string(status);
  } catch (const RuntimeError& error) {
    if (!IsEngineError(error.number()))
      return "runtime error " + std::to_string(error.number()) + " is not the engine's";
  } catch (const cli::CommandError&) {
  } catch (const PartsError&) {  // a cell that cannot be read without changing it
  } catch (const EncodingError&) {
  } catch (const std::exception& error) {
    return std::string("unexpected failure: ") + error.what();
  }
  return "";
}

}  // namespace ztxgrp::fuzz
