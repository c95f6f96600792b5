// The property of the set operations: on any operands they fail only with
// the layer's own errors, and each result, read back as a list, is the set
// that the operands' designators (read by the list reader, kept as texts)
// make; each operand's count is the number of its different designators,
// and an operand is contained in the first when all its designators are.
#include <algorithm>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "checks.hpp"
#include "ztxgrp/designator_sets.hpp"
#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::fuzz {
namespace {

// A cell's designators as the public cell reader gives them, as texts.
std::set<std::string> Texts(std::string_view text) {
  const std::vector<std::string> designators =
      cell_designators(text, {}, std::numeric_limits<std::size_t>::max());
  return std::set<std::string>(designators.begin(), designators.end());
}

std::string Joined(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& entry : entries) text.append(entry).push_back('\n');
  return text;
}

}  // namespace

std::string CheckSets(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  // Byte 0: the operation (0 union, 1 intersect, 2 subtract, 3 xor) and,
  // in bit 2, a shortest run of 3. The rest: operands, one a line.
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  const std::vector<std::string_view> operands(lines.begin(), lines.end());
  const auto operation = static_cast<SetOperation>(data[0] % 4);
  std::vector<std::string> entries;
  std::vector<std::set<std::string>> sets;
  try {
    entries = combine_designators(operation, operands, data[0] & 4 ? 3 : 2);
    for (const std::string_view operand : operands) sets.push_back(Texts(operand));
  } catch (...) {
    return LayerFailure(std::current_exception());
  }
  std::set<std::string> expected;
  std::set<std::string> all;
  for (const auto& set : sets) all.insert(set.begin(), set.end());
  for (const std::string& designator : all) {
    const std::size_t in = static_cast<std::size_t>(std::count_if(
        sets.begin(), sets.end(), [&](const auto& set) { return set.contains(designator); }));
    const bool first = !sets.empty() && sets.front().contains(designator);
    const bool keep = operation == SetOperation::Union       ? true
                      : operation == SetOperation::Intersect ? in == sets.size()
                      : operation == SetOperation::Subtract  ? first && in == 1
                                                             : in % 2 == 1;
    if (keep) expected.insert(designator);
  }
  std::vector<DesignatorCount> counts;
  std::vector<bool> contained;
  try {
    counts = count_designators(operands);
    contained = contains_designators(operands.front(),
                                     std::span<const std::string_view>(operands).subspan(1));
  } catch (...) {
    return "counting or containment failed where combining did not: " +
           LayerFailure(std::current_exception());
  }
  for (std::size_t k = 0; k < operands.size(); ++k) {
    const std::vector<std::string> written =
        cell_designators(operands[k], {}, std::numeric_limits<std::size_t>::max());
    std::size_t repeated = 0;
    for (const std::string& designator : sets[k])
      if (std::count(written.begin(), written.end(), designator) > 1) ++repeated;
    if (counts[k].designators != sets[k].size() || counts[k].repeated != repeated)
      return "operand " + std::to_string(k + 1) + " counts " +
             std::to_string(counts[k].designators) + " (" + std::to_string(counts[k].repeated) +
             " repeated), its designators are " + std::to_string(sets[k].size()) + " (" +
             std::to_string(repeated) + ")";
    if (k == 0) continue;
    const bool all = !sets[k].empty() &&
                     std::includes(sets[0].begin(), sets[0].end(), sets[k].begin(), sets[k].end());
    if (contained[k - 1] != all)
      return "operand " + std::to_string(k + 1) +
             " contained: " + (contained[k - 1] ? "true" : "false");
  }
  std::set<std::string> got;
  try {
    got = Texts(Joined(entries));
  } catch (const std::exception& error) {
    return std::string("the result does not read back: ") + error.what();
  }
  if (got != expected)
    return "the result holds " + std::to_string(got.size()) + " designators, the operands' set " +
           std::to_string(expected.size());
  return "";
}

}  // namespace ztxgrp::fuzz
