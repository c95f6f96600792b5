#include "run.hpp"

#include <string>
#include <utility>

#include "bom.hpp"
#include "diff.hpp"
#include "input.hpp"
#include "json_input.hpp"
#include "output.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp::cli {
namespace {

bool IsListCommand(Command command) {
  return command == Command::Group || command == Command::Ungroup;
}

Value GroupOrUngroup(const Options& options, const Value& list) {
  const IclsGroup component;
  return options.command == Command::Group ? component.Group(list, options.minRun)
                                           : component.Ungroup(list);
}

std::vector<std::string> GroupOrUngroup(const Options& options,
                                        const std::vector<std::string>& items) {
  return options.command == Command::Group ? ztxgrp::group(items, options.minRun)
                                           : ztxgrp::ungroup(items);
}

int RunJson(const Options& options, InputBuffer& in, OutputWriter& out) {
  if (!options.items.empty())
    throw UsageError("--json reads its input from standard input; give no ITEM");
  if (options.split || options.join)
    throw UsageError("--json cannot be combined with --split or --join");
  if (IsListCommand(options.command)) {
    WriteJsonList(out, GroupOrUngroup(options, ReadJsonList(in, kMaxListElements)));
    return kSuccess;
  }
  const std::u16string text = ReadJsonText(in);
  if (options.command == Command::Expand) {
    WriteJsonList(out, IclsGroup().UngroupItem(text));
    return kSuccess;
  }
  const bool valid = IclsGroup().IsValidRange(text);
  WriteJsonBool(out, valid);
  return valid ? kSuccess : kInvalidRange;
}

// Answers text by text, so that any number of lines can be checked.
int RunCheck(ItemSource& items, std::string_view separator, OutputWriter& out) {
  std::string text;
  bool allValid = true, any = false;
  while (items.Next(text)) {
    const bool valid = ztxgrp::is_valid_range(text);
    allValid = allValid && valid;
    if (any) out.Write(separator);
    any = true;
    out.Write(valid ? "true" : "false");
  }
  if (!any) throw UsageError("check needs at least one TEXT");
  out.Write("\n");
  return allValid ? kSuccess : kInvalidRange;
}

int RunLines(const Options& options, InputBuffer& in, OutputWriter& out) {
  const std::string separator = options.join.value_or("\n");
  try {
    (void)Utf8ToUtf16(separator);
  } catch (const EncodingError& error) {
    throw UsageError(std::string("--join: ") + error.what());
  }
  ItemSource items(options, in, options.command != Command::Check);
  if (options.command == Command::Check) return RunCheck(items, separator, out);

  std::string text;
  if (options.command == Command::Expand) {
    std::string another;
    if (!items.Next(text) || items.Next(another)) throw UsageError("expand takes exactly one TEXT");
    // Through the list of values, which is written and released item by item:
    // one range can expand to a gigabyte of text.
    WriteLines(out, IclsGroup().UngroupItem(Utf8ToUtf16(text)), separator);
    return kSuccess;
  }
  std::vector<std::string> list;
  while (items.Next(text)) {
    if (list.size() == kMaxListElements) Raise(ErrorNumber::Overflow);
    list.push_back(std::move(text));
  }
  WriteLines(out, GroupOrUngroup(options, list), separator);
  return kSuccess;
}

}  // namespace

int Run(const Options& options, InputBuffer& in, OutputWriter& out) {
  if (options.command == Command::Group) check_min_run(options.minRun, OptionStyle::Command);
  if (options.command == Command::Bom) return RunBom(options, in, out);
  if (options.command == Command::Diff) return RunDiff(options, in, out);
  if (options.command == Command::GitDiff) return RunGitDiff(options, in, out);
  return options.json ? RunJson(options, in, out) : RunLines(options, in, out);
}

}  // namespace ztxgrp::cli
