// Values to and from JSON: strings are texts, numbers integers or reals,
// true/false Booleans, null is null, arrays are lists (lower bound 0) and
// objects are objects. An empty element is written as null.
#pragma once

#include <nlohmann/json.hpp>

#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {

Value FromJson(const nlohmann::json& json);
nlohmann::json ToJson(const Value& value);

}  // namespace ztxgrp::cli
