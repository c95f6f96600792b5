// Worked examples of the four public operations, shared by every test level
// (native class, command line, Windows component). An expected error is given
// by its runtime error number; otherwise by the result list.
#pragma once

#include <string>
#include <vector>

namespace ztxgrp::examples {

enum class Operation { Group, Ungroup, UngroupItem };

struct ListExample {
  Operation operation;
  std::vector<std::string> input;  // for UngroupItem: one text
  std::vector<std::string> expected;
  int error = 0;
};

struct CheckExample {
  std::string text;
  bool valid;
};

inline const std::vector<ListExample>& ListExamples() {
  using enum Operation;
  static const std::vector<ListExample> examples = {
      {Group, {"R3", "R1", "C2", "R2", "R5"}, {"C2", "R1-R3", "R5"}},
      {Group, {"R7", "R3", "R1", "R2", "C1", "C3", "C2", "R8"}, {"C1-C3", "R1-R3", "R7-R8"}},
      {Group, {"B2", "A10", "B1", "A9", "A11"}, {"A9-A11", "B1-B2"}},
      {Group, {"R1", "R2"}, {"R1-R2"}},
      {Group, {"R1", "R1", "R2"}, {"R1", "R1-R2"}},
      {Group, {"R01", "R02"}, {"R1-R2"}},
      {Group, {"ABC", "R1"}, {"ABC", "R1"}},
      {Group, {"r1", "R2"}, {"R2", "r1"}},
      {Group, {"R1", "R3", "R5"}, {"R1", "R3", "R5"}},
      {Group, {"R01"}, {"R1"}},
      {Group, {"R-1"}, {"R"}},
      {Group, {"R32766", "R32767"}, {"R32766-R32767"}},
      {Group, {"R32767", "S1"}, {"R32767", "S1"}},
      {Group, {"R", "R0", "R1"}, {"R", "R0-R1"}},
      {Group, {"R1", "R32768"}, {}, 6},
      {Group, {"R1", ".5"}, {}, 13},
      {Ungroup, {"R3", "R1-R2"}, {"R1", "R2", "R3"}},
      {Ungroup, {"R1-R3", "R2"}, {"R1", "R2", "R2", "R3"}},
      {Ungroup, {"R007", "R5-R6"}, {"R5", "R6", "R7"}},
      {Ungroup, {"R1-R2", "C2"}, {"C2", "R1", "R2"}},
      {Ungroup, {"8-10"}, {"10", "8", "9"}},
      {Ungroup, {"R1-R3", "R5-R4"}, {}, 9},
      {Ungroup, {"R3-R1"}, {}, 9},
      {UngroupItem, {"R3"}, {"R3"}},
      {UngroupItem, {"R007"}, {"R7"}},
      {UngroupItem, {"ABC"}, {"ABC"}},
      {UngroupItem, {"123"}, {"123"}},
      {UngroupItem, {""}, {""}},
      {UngroupItem, {"R1-R3"}, {"R1", "R2", "R3"}},
      {UngroupItem, {"R01-R03"}, {"R1", "R2", "R3"}},
      {UngroupItem, {"R1-C3"}, {"R1", "R2", "R3"}},
      {UngroupItem, {"R3-R3"}, {"R3"}},
      {UngroupItem, {"R1-R3-R5"}, {"R1", "R2", "R3", "R4", "R5"}},
      {UngroupItem, {"R-R2"}, {"R", "R0", "R1", "R2"}},
      {UngroupItem, {"1-3"}, {"1", "2", "3"}},
      {UngroupItem, {"1-3-5"}, {"1", "2", "3"}},
      {UngroupItem, {"R3-R1"}, {}, 9},
      {UngroupItem, {"R1-3"}, {}, 9},
      {UngroupItem, {"3-1"}, {}, 9},
      {UngroupItem, {"1-R3"}, {}, 13},
      {UngroupItem, {"1-"}, {}, 13},
      {UngroupItem, {"R-R32767"}, {}, 6},
      {UngroupItem, {"R32767-R32767"}, {"R32767"}},
  };
  return examples;
}

inline const std::vector<CheckExample>& CheckExamples() {
  static const std::vector<CheckExample> examples = {
      {"R12", true},    {"R0", true},     {"R1-R3", true},      {"R-R3", true},
      {"A-A1", true},   {".5-R3", false}, {"", false},          {"R", false},
      {"12", false},    {".5", false},    {"R32768", false},    {"R-5", false},
      {"R3-R1", false}, {"R1-R1", false}, {"R1-C3", false},     {"R1-3", false},
      {"1-3", false},   {"A-A", false},   {"R1-R3-R5", false},  {"R1-", false},
      {"-R3", false},   {"-", false},     {"R32768-R1", false}, {"R1-R32768", false},
      {"R1--5", false},
  };
  return examples;
}

}  // namespace ztxgrp::examples
