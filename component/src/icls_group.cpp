#include "ztxgrp/icls_group.hpp"

#include <new>
#include <stdexcept>
#include <string>

namespace ztxgrp {
namespace {

// Runs one worker call; exhausted memory becomes runtime error 7 so that
// every failure reaches the caller with a number.
template <typename Call>
auto Forward(Call&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::OutOfMemory);
  } catch (const std::length_error&) {
    Raise(ErrorNumber::OutOfMemory);
  }
}

}  // namespace

IclsGroup::IclsGroup() : objGroup(std::make_unique<clsGroup>()) {}

IclsGroup::~IclsGroup() = default;

Value IclsGroup::Group(const Value& arrInput) const {
  return Forward([&] { return objGroup->GroupItems(arrInput); });
}

Value IclsGroup::Ungroup(const Value& arrInput) const {
  return Forward([&] { return objGroup->UngroupItems(arrInput); });
}

bool IclsGroup::IsValidRange(std::u16string_view strRange) const noexcept {
  try {
    return objGroup->CheckRange(std::u16string(strRange));
  } catch (...) {
    return false;  // the copy of the argument could not be made
  }
}

Value IclsGroup::UngroupItem(std::u16string_view strInputItem) const {
  return Forward([&] { return objGroup->ExpandItem(std::u16string(strInputItem)); });
}

}  // namespace ztxgrp
