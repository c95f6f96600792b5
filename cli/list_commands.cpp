// group, ungroup, expand and check: lists of items read from the arguments
// or standard input (lines, or JSON), handed to the component, written one
// item a line, joined, or as JSON.
#include <memory>
#include <string>
#include <utility>

#include "command.hpp"
#include "command_options.hpp"
#include "errors.hpp"
#include "input.hpp"
#include "json_input.hpp"
#include "list_commands.hpp"
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

bool IsListCommand(ListKind kind) {
  return kind == ListKind::Group || kind == ListKind::Ungroup;
}

Value GroupOrUngroup(const ListOptions& options, const Value& list) {
  const IclsGroup component;
  return options.kind == ListKind::Group ? component.Group(list, options.minRun)
                                         : component.Ungroup(list);
}

std::vector<std::string> GroupOrUngroup(const ListOptions& options,
                                        const std::vector<std::string>& items) {
  return options.kind == ListKind::Group ? ztxgrp::group(items, options.minRun)
                                         : ztxgrp::ungroup(items);
}

int RunJson(const ListOptions& options, InputBuffer& in, OutputWriter& out) {
  if (!options.items.empty())
    throw UsageError("--json reads its input from standard input; give no ITEM");
  if (options.split || options.join)
    throw UsageError("--json cannot be combined with --split or --join");
  if (IsListCommand(options.kind)) {
    WriteJsonList(out, GroupOrUngroup(options, ReadJsonList(in, kMaxListElements)));
    return kSuccess;
  }
  const std::u16string text = ReadJsonText(in);
  if (options.kind == ListKind::Expand) {
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

int RunLines(const ListOptions& options, InputBuffer& in, OutputWriter& out) {
  const std::string separator = options.join.value_or("\n");
  try {
    (void)Utf8ToUtf16(separator);
  } catch (const EncodingError& error) {
    throw UsageError(std::string("--join: ") + error.what());
  }
  ItemSource items(options, in, options.kind != ListKind::Check);
  if (options.kind == ListKind::Check) return RunCheck(items, separator, out);

  std::string text;
  if (options.kind == ListKind::Expand) {
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

int RunList(const ListOptions& options, InputBuffer& in, OutputWriter& out) {
  if (options.kind == ListKind::Group) check_min_run(options.minRun, OptionStyle::Command);
  return options.json ? RunJson(options, in, out) : RunLines(options, in, out);
}

namespace {

class ListCommand final : public Command {
 public:
  ListCommand(CLI::App& app, ListKind kind, const char* name, const char* description) {
    options_.kind = kind;
    app_ = app.add_subcommand(name, description);
    app_->add_option("ITEM", options_.items, "items (default: standard input, one per line)");
    app_->add_flag("-s,--split", options_.split,
                   "read each item as a parts-list cell: split at commas, semicolons, blanks "
                   "and line breaks; \"C1 - C4\" is a range");
    app_->add_option("-j,--join", options_.join, "join the output with SEP instead of newlines")
        ->option_text("SEP");
    app_->add_flag("--json", options_.json,
                   "read a JSON array (group, ungroup) or string (expand, check) from standard "
                   "input and write JSON");
    if (kind == ListKind::Group) AddMinRun(app_, options_.minRun);
  }
  void TakeWordsAfterOptions(std::vector<std::string> words) override {
    options_.items.insert(options_.items.end(), std::make_move_iterator(words.begin()),
                          std::make_move_iterator(words.end()));
  }
  bool ReadsJson() const override { return options_.json; }
  int Run(InputBuffer& in, OutputWriter& out) override { return RunList(options_, in, out); }

 private:
  ListOptions options_;
};

}  // namespace

std::vector<std::unique_ptr<Command>> MakeListCommands(CLI::App& app) {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(std::make_unique<ListCommand>(app, ListKind::Group, "group",
                                                   "sort items and fold runs into ranges"));
  commands.push_back(std::make_unique<ListCommand>(app, ListKind::Ungroup, "ungroup",
                                                   "expand items and ranges, sorted"));
  commands.push_back(std::make_unique<ListCommand>(app, ListKind::Expand, "expand",
                                                   "expand one item or range text"));
  commands.push_back(std::make_unique<ListCommand>(
      app, ListKind::Check, "check", "tell whether texts are valid items or ascending ranges"));
  return commands;
}

}  // namespace ztxgrp::cli
