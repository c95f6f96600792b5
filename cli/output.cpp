#include "output.hpp"

#include <nlohmann/json.hpp>
#include <string>

#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {

void WriteLines(OutputWriter& out, Value&& result, std::string_view separator) {
  bool first = true;
  for (Value& element : result.list().elements) {
    if (!first) out.Write(separator);
    first = false;
    if (element.isText()) out.Write(Utf16ToUtf8(element.text()));
    element = Value();
  }
  out.Write("\n");
}

void WriteLines(OutputWriter& out, std::vector<std::string>&& result, std::string_view separator) {
  bool first = true;
  for (std::string& element : result) {
    if (!first) out.Write(separator);
    first = false;
    out.Write(element);
    std::string().swap(element);
  }
  out.Write("\n");
}

void WriteJsonList(OutputWriter& out, Value&& result) {
  out.Write("[");
  bool first = true;
  for (Value& element : result.list().elements) {
    if (!first) out.Write(",");
    first = false;
    out.Write(element.isText() ? nlohmann::json(Utf16ToUtf8(element.text())).dump() : "null");
    element = Value();
  }
  out.Write("]\n");
}

void WriteJsonBool(OutputWriter& out, bool value) {
  out.Write(value ? "true\n" : "false\n");
}

}  // namespace ztxgrp::cli
