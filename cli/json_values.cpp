#include "json_values.hpp"

#include <string>

#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {

Value FromJson(const nlohmann::json& json) {
  switch (json.type()) {
    case nlohmann::json::value_t::null:
      return Null{};
    case nlohmann::json::value_t::boolean:
      return json.get<bool>();
    case nlohmann::json::value_t::number_integer:
      return json.get<std::int64_t>();
    case nlohmann::json::value_t::number_unsigned: {
      const auto value = json.get<std::uint64_t>();
      // Beyond 64-bit signed range the exact digits are kept as text: the
      // engine reads every number as its decimal text anyway.
      if (value > static_cast<std::uint64_t>(INT64_MAX)) return Utf8ToUtf16(std::to_string(value));
      return static_cast<std::int64_t>(value);
    }
    case nlohmann::json::value_t::number_float:
      return json.get<double>();
    case nlohmann::json::value_t::string:
      return Utf8ToUtf16(json.get_ref<const std::string&>());
    case nlohmann::json::value_t::array: {
      ItemList list;
      list.elements.reserve(json.size());
      for (const auto& element : json) list.elements.push_back(FromJson(element));
      return list;
    }
    default:
      return Object{};
  }
}

nlohmann::json ToJson(const Value& value) {
  struct Visitor {
    nlohmann::json operator()(Empty) const { return nullptr; }
    nlohmann::json operator()(Null) const { return nullptr; }
    nlohmann::json operator()(bool v) const { return v; }
    nlohmann::json operator()(std::int64_t v) const { return v; }
    nlohmann::json operator()(double v) const { return v; }
    nlohmann::json operator()(const std::u16string& v) const { return Utf16ToUtf8(v); }
    nlohmann::json operator()(const ItemList& list) const {
      nlohmann::json array = nlohmann::json::array();
      for (const Value& element : list.elements) array.push_back(ToJson(element));
      return array;
    }
    nlohmann::json operator()(Object) const { return nlohmann::json::object(); }
  };
  return std::visit(Visitor{}, value.storage());
}

}  // namespace ztxgrp::cli
