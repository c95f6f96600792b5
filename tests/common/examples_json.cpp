// Prints the worked examples as JSON, so that tests in other languages read
// the same tables: {"lists": [{"operation", "input", "expected", "error"}],
// "checks": [{"text", "valid"}]}.
#include <iostream>
#include <nlohmann/json.hpp>

#include "examples.hpp"

int main() {
  using ztxgrp::examples::Operation;
  nlohmann::json lists = nlohmann::json::array(), checks = nlohmann::json::array();
  for (const auto& example : ztxgrp::examples::ListExamples()) {
    const char* operation = example.operation == Operation::Group     ? "group"
                            : example.operation == Operation::Ungroup ? "ungroup"
                                                                      : "expand";
    lists.push_back({{"operation", operation},
                     {"input", example.input},
                     {"expected", example.expected},
                     {"error", example.error}});
  }
  for (const auto& example : ztxgrp::examples::CheckExamples())
    checks.push_back({{"text", example.text}, {"valid", example.valid}});
  std::cout << nlohmann::json{{"lists", lists}, {"checks", checks}}.dump() << '\n';
  return std::cout.good() ? 0 : 1;
}
