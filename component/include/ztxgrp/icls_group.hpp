// IclsGroup: the public class that hosts create.
//
// Each object owns one clsGroup worker in `objGroup` and forwards each call to
// it: Group, Ungroup, IsValidRange and UngroupItem. The host's argument is
// never changed. A failure reaches the caller as a RuntimeError with its
// runtime error number (7 when memory runs out); IsValidRange never fails.
#pragma once

#include <memory>
#include <string_view>

#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp {

class clsGroup;  // the worker, private to the component

class IclsGroup {
 public:
  IclsGroup();
  ~IclsGroup();
  IclsGroup(const IclsGroup&) = delete;
  IclsGroup& operator=(const IclsGroup&) = delete;

  // The list in `arrInput` sorted by prefix and number, each run of
  // consecutive numbers written as one range: R3, R1, C2, R2 -> C2, R1-R3.
  Value Group(const Value& arrInput) const;

  // The same, with runs shorter than `intMinRun` items written item by item
  // (3: R1, R2 stay two items, R1, R2, R3 become R1-R3). Below 2: error 5.
  Value Group(const Value& arrInput, int intMinRun) const;

  // Every item and range of `arrInput` expanded into single items, sorted.
  Value Ungroup(const Value& arrInput) const;

  // True for a numbered item or an ascending range with equal prefixes.
  bool IsValidRange(std::u16string_view strRange) const noexcept;

  // The single items that one item or range text denotes, ascending.
  Value UngroupItem(std::u16string_view strInputItem) const;

 private:
  std::unique_ptr<clsGroup> objGroup;
};

}  // namespace ztxgrp
