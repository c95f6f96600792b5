#include "designators.hpp"

#include <algorithm>

#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

bool IsSeparator(char16_t c) {
  return c == u',' || c == u' ' || c == u'\t';
}

// The reading of an item text, or nothing when the engine refuses it.
bool ReadsAsNumberedItem(std::u16string_view text, DesignatorKey& key) {
  try {
    clsGroup().SplitItem(std::u16string(text), key.prefix, key.number);
  } catch (const RuntimeError&) {
    return false;
  }
  return key.number != -1;
}

bool IsRange(std::u16string_view piece) {
  const std::size_t hyphen = piece.find(u'-');
  DesignatorKey left, right;
  return ReadsAsNumberedItem(piece.substr(0, hyphen), left) &&
         ReadsAsNumberedItem(piece.substr(hyphen + 1), right) && left.prefix == right.prefix;
}

// Merges `literals` into the sorted `entries` by key; a literal follows the
// entries of an equal key.
std::vector<std::u16string> Merge(std::vector<std::u16string> entries,
                                  const std::vector<std::u16string>& literals) {
  if (literals.empty()) return entries;
  struct Keyed {
    DesignatorKey key;
    const std::u16string* text;
  };
  std::vector<Keyed> sorted;
  sorted.reserve(entries.size() + literals.size());
  for (const std::u16string& entry : entries) sorted.push_back({KeyOfEntry(entry), &entry});
  for (const std::u16string& literal : literals) sorted.push_back({KeyOf(literal), &literal});
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
  std::vector<std::u16string> out;
  out.reserve(sorted.size());
  for (const Keyed& keyed : sorted) out.push_back(*keyed.text);
  return out;
}

std::vector<std::u16string> Texts(const Value& list) {
  std::vector<std::u16string> texts;
  for (const Value& element : list.list().elements)
    texts.push_back(element.isText() ? element.text() : std::u16string());
  return texts;
}

}  // namespace

void ReadCell(std::string_view cell, Designators& out) {
  const std::u16string text = Utf8ToUtf16(cell);
  const IclsGroup component;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsSeparator(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    if (end == at) break;
    const std::u16string_view piece = std::u16string_view(text).substr(at, end - at);
    at = end;
    if (piece.find(u'-') == std::u16string_view::npos || IsRange(piece)) {
      for (std::u16string& item : Texts(component.UngroupItem(piece)))
        out.items.push_back(std::move(item));
    } else {
      (void)KeyOf(piece);  // the engine must be able to order it
      out.literals.emplace_back(piece);
    }
  }
}

DesignatorKey KeyOf(std::u16string_view text) {
  DesignatorKey key;
  try {
    clsGroup().SplitItem(std::u16string(text), key.prefix, key.number);
  } catch (const RuntimeError& error) {
    Reraise(error, text);
  }
  return key;
}

DesignatorKey KeyOfEntry(std::u16string_view entry) {
  // Items never hold "-": pieces with one are ranges or literals.
  return KeyOf(entry.substr(0, entry.find(u'-')));
}

std::vector<std::u16string> GroupDesignators(const Designators& designators, int minRun) {
  if (designators.items.empty()) return Merge({}, designators.literals);
  return Merge(Texts(IclsGroup().Group(MakeTextList(designators.items), minRun)),
               designators.literals);
}

std::vector<std::u16string> ExpandDesignators(const Designators& designators) {
  if (designators.items.empty()) return Merge({}, designators.literals);
  return Merge(Texts(IclsGroup().Ungroup(MakeTextList(designators.items))), designators.literals);
}

}  // namespace ztxgrp::cli
