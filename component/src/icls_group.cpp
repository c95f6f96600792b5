#include "ztxgrp/icls_group.hpp"

#include <string>

#include "ztxgrp/engine/cls_group.hpp"
#include "ztxgrp/memory_errors.hpp"

namespace ztxgrp {

IclsGroup::IclsGroup() : objGroup(std::make_unique<clsGroup>()) {}

IclsGroup::~IclsGroup() = default;

Value IclsGroup::Group(const Value& arrInput) const {
  return WithMemoryErrorsNumbered([&] { return objGroup->GroupItems(arrInput); });
}

Value IclsGroup::Group(const Value& arrInput, int intMinRun) const {
  return WithMemoryErrorsNumbered([&] { return objGroup->GroupItems(arrInput, intMinRun); });
}

Value IclsGroup::Ungroup(const Value& arrInput) const {
  return WithMemoryErrorsNumbered([&] { return objGroup->UngroupItems(arrInput); });
}

bool IclsGroup::IsValidRange(std::u16string_view strRange) const noexcept {
  try {
    return objGroup->CheckRange(std::u16string(strRange));
  } catch (...) {
    return false;  // the copy of the argument could not be made
  }
}

Value IclsGroup::UngroupItem(std::u16string_view strInputItem) const {
  return WithMemoryErrorsNumbered(
      [&] { return objGroup->ExpandItem(std::u16string(strInputItem)); });
}

}  // namespace ztxgrp
