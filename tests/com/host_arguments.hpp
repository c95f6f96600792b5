// Arguments as hosts hand them in, built from their descriptions in the call
// table (tests/data/com/calls.json; its README gives the forms): texts,
// arrays of every element kind and bound, references (null, to themselves,
// in cycles), objects and declared types that do not match what is held.
#pragma once

#include <deque>
#include <nlohmann/json.hpp>

#include "com_support.hpp"

namespace ztxgrp::com::testing {

class HostArguments {
 public:
  // `object` is what {"object": ...} elements hold; it must outlive this.
  explicit HostArguments(IUnknown* object) : object_(object) {}
  HostArguments(const HostArguments&) = delete;
  HostArguments& operator=(const HostArguments&) = delete;

  // The VARIANT that `description` stands for. It owns nothing: what it
  // holds and points at lives as long as this object.
  VARIANT& Build(const nlohmann::json& description);

 private:
  VARIANT& Keep(VARIANT value);
  VARIANT BuildArray(const nlohmann::json& description);
  void FillArray(SAFEARRAY* array, VARTYPE type, const nlohmann::json& elements);
  VARIANT BuildReference(const nlohmann::json& description);

  IUnknown* object_;
  std::deque<VARIANT> values_;  // by value, not owning: the owners are below
  std::deque<Bstr> texts_;
  std::deque<SafeArray> arrays_;
  std::deque<BSTR> textSlots_;         // what a BSTR reference points at
  std::deque<SAFEARRAY*> arraySlots_;  // what an array reference points at
};

// The type a table names ("VARIANT", "BSTR", "I4", ...).
VARTYPE TypeNamed(const std::string& name);

}  // namespace ztxgrp::com::testing
