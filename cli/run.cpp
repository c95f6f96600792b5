#include "run.hpp"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "input.hpp"
#include "json_values.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/text.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

nlohmann::json ParseJson(std::istream& in) {
  try {
    return nlohmann::json::parse(ReadAll(in));
  } catch (const nlohmann::json::parse_error& error) {
    throw InputError(std::string("malformed JSON on standard input: ") + error.what());
  }
}

std::vector<std::string> CollectItems(const Options& options, std::istream& in) {
  std::vector<std::string> raw = options.items;
  if (raw.empty()) raw = SplitLines(ReadAll(in));
  if (!options.split) return raw;
  std::vector<std::string> items;
  for (const std::string& entry : raw)
    for (std::string& piece : SplitAtSeparators(entry)) items.push_back(std::move(piece));
  return items;
}

std::string Lines(const Value& result, const Options& options) {
  const std::string separator = options.join.value_or("\n");
  std::string out;
  bool first = true;
  for (const Value& element : result.list().elements) {
    if (!first) out += separator;
    first = false;
    out += Utf16ToUtf8(ElementText(element));
  }
  out += '\n';
  return out;
}

std::string Quoted(const std::u16string& text) {
  try {
    return nlohmann::json(Utf16ToUtf8(text)).dump();
  } catch (const std::exception&) {
    return "(not printable)";
  }
}

int RunJson(const Options& options, std::istream& in, std::ostream& out) {
  if (!options.items.empty())
    throw UsageError("--json reads its input from standard input; give no ITEM");
  if (options.split || options.join)
    throw UsageError("--json cannot be combined with --split or --join");
  const nlohmann::json input = ParseJson(in);
  IclsGroup component;
  nlohmann::json output;
  int status = kSuccess;
  if (options.command == Command::Group || options.command == Command::Ungroup) {
    if (!input.is_array()) throw InputError("expected a JSON array on standard input");
    const Value list = FromJson(input);
    output =
        ToJson(options.command == Command::Group ? component.Group(list) : component.Ungroup(list));
  } else {
    if (!input.is_string()) throw InputError("expected a JSON string on standard input");
    const std::u16string text = Utf8ToUtf16(input.get_ref<const std::string&>());
    if (options.command == Command::Expand) {
      output = ToJson(component.UngroupItem(text));
    } else {
      output = component.IsValidRange(text);
      if (!output.get<bool>()) status = kInvalidRange;
    }
  }
  out << output.dump() << '\n';
  return status;
}

int RunLines(const Options& options, std::istream& in, std::ostream& out) {
  const std::vector<std::string> items = CollectItems(options, in);
  const Value list = ItemsToList(items, options.items.empty() ? "line" : "argument");
  IclsGroup component;
  switch (options.command) {
    case Command::Group:
      out << Lines(component.Group(list), options);
      return kSuccess;
    case Command::Ungroup:
      out << Lines(component.Ungroup(list), options);
      return kSuccess;
    case Command::Expand:
      if (items.size() != 1) throw UsageError("expand takes exactly one TEXT");
      out << Lines(component.UngroupItem(list.list().elements[0].text()), options);
      return kSuccess;
    case Command::Check: {
      if (items.empty()) throw UsageError("check needs at least one TEXT");
      ItemList answers;
      bool allValid = true;
      for (const Value& text : list.list().elements) {
        const bool valid = component.IsValidRange(text.text());
        allValid = allValid && valid;
        answers.elements.emplace_back(valid ? u"true" : u"false");
      }
      out << Lines(Value(std::move(answers)), options);
      return allValid ? kSuccess : kInvalidRange;
    }
  }
  return kSuccess;
}

}  // namespace

int Run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    return options.json ? RunJson(options, in, out) : RunLines(options, in, out);
  } catch (const RuntimeError& error) {
    err << "ztxgrp: runtime error " << error.number() << ": " << error.description() << '\n';
    if (error.item()) err << "ztxgrp: offending item: " << Quoted(*error.item()) << '\n';
    return kRuntimeError;
  } catch (const UsageError& error) {
    err << "ztxgrp: " << error.what() << "\nRun 'ztxgrp --help' for usage.\n";
    return kUsageError;
  } catch (const InputError& error) {
    err << "ztxgrp: " << error.what() << '\n';
    return kUsageError;
  } catch (const EncodingError& error) {
    err << "ztxgrp: " << error.what() << '\n';
    return kUsageError;
  }
}

}  // namespace ztxgrp::cli
