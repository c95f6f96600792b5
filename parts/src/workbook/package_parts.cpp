#include "package_parts.hpp"

namespace ztxgrp::workbook {

bool ParsePart(ZipEntries& zip, const std::string& name, XmlHandler& handler, bool required) {
  if (!required && !zip.Has(name)) return false;
  XmlStream stream("the workbook's part " + name, handler);
  zip.Read(name, [&](std::string_view piece) { stream.Feed(piece); });
  stream.Finish();
  return true;
}

std::string Resolved(const std::string& folder, std::string_view target) {
  if (!target.empty() && target.front() == '/') return std::string(target.substr(1));
  std::string path = folder;
  while (!target.empty()) {
    const std::size_t slash = target.find('/');
    const std::string_view step = target.substr(0, slash);
    if (step == "..") {
      if (!path.empty()) path.pop_back();
      const std::size_t previous = path.rfind('/');
      path.erase(previous == std::string::npos ? 0 : previous + 1);
    } else if (step != "." && !step.empty()) {
      path.append(step);
      if (slash != std::string_view::npos) path += '/';
    }
    if (slash == std::string_view::npos) break;
    target.remove_prefix(slash + 1);
  }
  return path;
}

std::string FolderOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return part.substr(0, start) + "_rels/" + part.substr(start) + ".rels";
}

}  // namespace ztxgrp::workbook
