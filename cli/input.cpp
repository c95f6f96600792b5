#include "input.hpp"

#include <iterator>

#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {

std::string ReadAll(std::istream& in) {
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitLines(const std::string& data) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\n', start);
    const std::size_t next = end == std::string::npos ? data.size() : end + 1;
    if (end == std::string::npos) end = data.size();
    if (end > start && data[end - 1] == '\r') --end;
    lines.emplace_back(data, start, end - start);
    start = next;
  }
  return lines;
}

std::vector<std::string> SplitAtSeparators(const std::string& text) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!piece.empty()) pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      piece.push_back(c);
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));
  return pieces;
}

Value ItemsToList(const std::vector<std::string>& items, const char* source) {
  ItemList list;
  list.elements.reserve(items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    try {
      list.elements.emplace_back(Utf8ToUtf16(items[k]));
    } catch (const EncodingError& error) {
      throw InputError(std::string(error.what()) + " in " + source + " " + std::to_string(k + 1));
    }
  }
  return list;
}

}  // namespace ztxgrp::cli
