#include "bom.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "errors.hpp"
#include "output_file.hpp"
#include "platform.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::cli {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string ReadPartsFile(const std::string& name, InputBuffer& standardInput) {
  if (name.empty() || name == "-") return standardInput.ReadAll();
  const std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(name));
  if (!file) throw InputError("cannot open " + name + ": " + Reason(errno));
  InputBuffer in(file.get(), false, name);
  // A regular file is read into room for all of it (one more byte lets the
  // read that finds its end append nothing).
  const std::optional<std::uint64_t> size = RegularFileSize(file.get());
  return in.ReadAll(size && *size < SIZE_MAX / 2 ? static_cast<std::size_t>(*size) + 1 : 0);
}

int RunBom(const Options& options, InputBuffer& standardInput, OutputWriter& out) {
  const PartsListCommand& bom = options.partsList;
  PartsOptions parts = bom.parts;
  parts.format = output_form(parts.format, bom.output.value_or(""));
  const PartsFileResult result = process_parts_file(ReadPartsFile(bom.file, standardInput), parts);

  for (const std::string& note : result.notes) WriteMessage("ztxgrp: note: " + note);
  bool strictFailure = false;
  for (const PartsWarning& warning : result.warnings) {
    WriteMessage("ztxgrp: warning: " + warning.message);
    strictFailure = strictFailure || warning.kind == PartsWarning::Kind::DuplicateDesignator ||
                    warning.kind == PartsWarning::Kind::DifferingCells;
  }
  if (strictFailure && bom.strict)
    throw InputError("duplicated designators or differing cells (--strict); nothing was written");
  WritePartsOutput(bom.output, result.bytes, out);
  return kSuccess;
}

void WritePartsOutput(const std::optional<std::string>& output, const std::string& bytes,
                      OutputWriter& out) {
  if (output) {
    WriteOutputFile(*output, bytes);
  } else if (is_workbook(bytes) && out.Terminal()) {
    throw UsageError(
        "a workbook is not written to a terminal: name a file with -o, or use --format csv");
  } else {
    out.Write(bytes);
  }
}

}  // namespace ztxgrp::cli
